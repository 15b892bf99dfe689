#pragma once

#include "AwsError.h"
#include "Endpoint.h"
#include "HttpTransport.h"
#include "Signer.h"

namespace Brenn_AWS::aws {

// What every service client shares: its endpoint, credentials and connection, and signing each
// request at the moment it is sent.
class ServiceClient
{
public:
    ServiceClient(const Endpoint &endpoint, const Credentials &credentials, const QString &service,
                  const TransportOptions &options, bool normalizePath);

    const Endpoint &endpoint() const { return m_endpoint; }
    const Credentials &credentials() const { return m_credentials; }
    // Renewed credentials sign every request from the next one on; the connection stays.
    void setCredentials(const Credentials &credentials) { m_credentials = credentials; }
    const TransportOptions &transportOptions() const { return m_transport.options(); }

protected:
    // A request for a raw path below the endpoint's base path.
    HttpRequest newRequest(const QByteArray &method, const QByteArray &path) const;
    SigningParameters signingParameters(const QDateTime &time) const;
    // Signs (unless the credentials are empty: an anonymous request) and sends.
    HttpResponse send(HttpRequest &request, const QByteArray &payloadHash,
                      QIODevice *body = nullptr, qint64 bodySize = 0, const BodySink &sink = {});
    HttpResponse send(HttpRequest &request, const QByteArray &payloadHash, const QByteArray &body);
    // The error of a failed exchange with an XML service.
    static AwsError xmlFailure(const HttpResponse &response);

private:
    Endpoint m_endpoint;
    Credentials m_credentials;
    QString m_service;
    bool m_normalizePath;
    HttpTransport m_transport;
};

} // namespace Brenn_AWS::aws
