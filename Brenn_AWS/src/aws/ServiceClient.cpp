#include "ServiceClient.h"

#include <QBuffer>

namespace Brenn_AWS::aws {

ServiceClient::ServiceClient(const Endpoint &endpoint, const Credentials &credentials,
                             const QString &service, const TransportOptions &options,
                             bool normalizePath)
    : m_endpoint(endpoint), m_credentials(credentials), m_service(service),
      m_normalizePath(normalizePath), m_transport(options)
{
}

HttpRequest ServiceClient::newRequest(const QByteArray &method, const QByteArray &path) const
{
    HttpRequest request;
    request.method = method;
    request.scheme = m_endpoint.scheme;
    request.host = m_endpoint.host;
    request.path = m_endpoint.basePath + path;
    return request;
}

SigningParameters ServiceClient::signingParameters(const QDateTime &time) const
{
    return SigningParameters{m_credentials, m_endpoint.region, m_service, time, m_normalizePath};
}

HttpResponse ServiceClient::send(HttpRequest &request, const QByteArray &payloadHash,
                                 QIODevice *body, qint64 bodySize, const BodySink &sink)
{
    if (!m_credentials.accessKeyId.isEmpty())
        signRequest(request, payloadHash, signingParameters(QDateTime::currentDateTimeUtc()));
    return m_transport.send(request, body, bodySize, sink);
}

HttpResponse ServiceClient::send(HttpRequest &request, const QByteArray &payloadHash,
                                 const QByteArray &body)
{
    QBuffer device;
    device.setData(body);
    device.open(QIODevice::ReadOnly);
    return send(request, payloadHash, &device, body.size());
}

AwsError ServiceClient::xmlFailure(const HttpResponse &response)
{
    if (!response.completed())
        return transportError(response.curlCode, response.curlText);
    return xmlError(response.status, response.body);
}

} // namespace Brenn_AWS::aws
