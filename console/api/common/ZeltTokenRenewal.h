#pragma once

#include <QObject>

#include <functional>

namespace Zelt_Common_API {

// Gets the session a new access token when a service has refused the current one.
class ZeltTokenRenewal
{
public:
    virtual ~ZeltTokenRenewal() = default;

    // One renewal serves every request waiting for it. done(true) runs once every client carries
    // the new token, done(false) when none can be had; done is dropped if context goes first.
    virtual void renewAccessToken(QObject *context, std::function<void(bool renewed)> done) = 0;
};

} // namespace Zelt_Common_API
