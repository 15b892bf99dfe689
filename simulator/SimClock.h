#pragma once

#include <QDateTime>

#include <optional>

namespace VorelSim {

// The stand-in's notion of now (UTC). It follows the real clock until a test freezes it;
// tests then move it on explicitly, so token lifetimes and live meetings need no sleeping.
class SimClock
{
public:
    QDateTime now() const;
    bool isFrozen() const { return m_frozenAt.has_value(); }
    void freeze();
    void resume();
    void advance(qint64 seconds);

private:
    qint64 m_offsetMs = 0;
    std::optional<QDateTime> m_frozenAt;
};

} // namespace VorelSim
