#pragma once

#include "AwsError.h"

#include <utility>
#include <variant>

namespace Brenn_AWS::aws {

// The result of one service call: a value or the error that prevented it.
template <class T> class Outcome
{
public:
    Outcome(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Outcome(AwsError error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool isSuccess() const { return m_state.index() == 0; }
    const T &value() const { return std::get<0>(m_state); }
    const AwsError &error() const { return std::get<1>(m_state); }

private:
    std::variant<T, AwsError> m_state;
};

// The value of calls that return nothing but success.
struct Done
{
};

} // namespace Brenn_AWS::aws
