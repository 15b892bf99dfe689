#include "Signer.h"

#include <QCryptographicHash>
#include <QMap>
#include <QMessageAuthenticationCode>

#include <algorithm>

namespace Brenn_AWS::aws {

namespace {

const QByteArray algorithm = QByteArrayLiteral("AWS4-HMAC-SHA256");

QByteArray amzDate(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

QByteArray scopeDate(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

QByteArray credentialScope(const SigningParameters &parameters)
{
    return scopeDate(parameters.time) + '/' + parameters.region.toUtf8() + '/' +
           parameters.service.toUtf8() + "/aws4_request";
}

QByteArray hmac(const QByteArray &key, const QByteArray &message)
{
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
}

// Trimmed, with every run of blanks reduced to one blank.
QByteArray canonicalValue(const QByteArray &value)
{
    return value.simplified();
}

QMap<QByteArray, QList<QByteArray>> headerMap(const HttpRequest &request)
{
    QMap<QByteArray, QList<QByteArray>> map;
    if (request.header("host").isNull())
        map[QByteArrayLiteral("host")].append(request.host);
    for (const auto &header : request.headers)
        map[header.first.toLower()].append(canonicalValue(header.second));
    return map;
}

QByteArray removeDotSegments(const QByteArray &path)
{
    QList<QByteArray> kept;
    for (const QByteArray &segment : path.split('/')) {
        if (segment.isEmpty() || segment == ".")
            continue;
        if (segment == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            continue;
        }
        kept.append(segment);
    }
    QByteArray normalized = '/' + kept.join('/');
    if (!kept.isEmpty() && path.endsWith('/'))
        normalized.append('/');
    return normalized;
}

} // namespace

QByteArray sha256Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

namespace sigv4 {

QByteArray canonicalUri(const QByteArray &rawPath, bool normalizePath)
{
    const QByteArray path = rawPath.isEmpty() ? QByteArrayLiteral("/") : rawPath;
    return uriEncode(normalizePath ? removeDotSegments(path) : path, true);
}

QByteArray canonicalQuery(const QueryList &query)
{
    QList<QPair<QByteArray, QByteArray>> encoded;
    encoded.reserve(query.size());
    for (const auto &parameter : query)
        encoded.append({uriEncode(parameter.first, false), uriEncode(parameter.second, false)});
    std::sort(encoded.begin(), encoded.end());
    QByteArray result;
    for (const auto &parameter : encoded) {
        if (!result.isEmpty())
            result.append('&');
        result.append(parameter.first + '=' + parameter.second);
    }
    return result;
}

QByteArray signedHeaderNames(const HttpRequest &request)
{
    return headerMap(request).keys().join(';');
}

QByteArray canonicalHeaders(const HttpRequest &request)
{
    const auto map = headerMap(request);
    QByteArray block;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        block.append(it.key() + ':' + it.value().join(',') + '\n');
    return block;
}

QByteArray canonicalRequest(const HttpRequest &request, const QByteArray &payloadHash,
                            bool normalizePath)
{
    return request.method + '\n' + canonicalUri(request.path, normalizePath) + '\n' +
           canonicalQuery(request.query) + '\n' + canonicalHeaders(request) + '\n' +
           signedHeaderNames(request) + '\n' + payloadHash;
}

QByteArray stringToSign(const QByteArray &canonicalRequest, const SigningParameters &parameters)
{
    return algorithm + '\n' + amzDate(parameters.time) + '\n' + credentialScope(parameters) + '\n' +
           sha256Hex(canonicalRequest);
}

QByteArray signature(const QByteArray &stringToSign, const SigningParameters &parameters)
{
    QByteArray key = "AWS4" + parameters.credentials.secretKey.toUtf8();
    key = hmac(key, scopeDate(parameters.time));
    key = hmac(key, parameters.region.toUtf8());
    key = hmac(key, parameters.service.toUtf8());
    key = hmac(key, QByteArrayLiteral("aws4_request"));
    return hmac(key, stringToSign).toHex();
}

} // namespace sigv4

void signRequest(HttpRequest &request, const QByteArray &payloadHash,
                 const SigningParameters &parameters)
{
    request.removeHeader("Authorization");
    request.setHeader("X-Amz-Date", amzDate(parameters.time));
    if (!parameters.credentials.sessionToken.isEmpty())
        request.setHeader("X-Amz-Security-Token", parameters.credentials.sessionToken.toUtf8());
    const QByteArray canonical =
        sigv4::canonicalRequest(request, payloadHash, parameters.normalizePath);
    const QByteArray signature =
        sigv4::signature(sigv4::stringToSign(canonical, parameters), parameters);
    request.setHeader("Authorization",
                      algorithm + " Credential=" + parameters.credentials.accessKeyId.toUtf8() +
                          '/' + credentialScope(parameters) + ", SignedHeaders=" +
                          sigv4::signedHeaderNames(request) + ", Signature=" + signature);
}

void presignRequest(HttpRequest &request, qint64 expirySeconds, const SigningParameters &parameters)
{
    request.addQuery("X-Amz-Algorithm", algorithm);
    request.addQuery("X-Amz-Credential", parameters.credentials.accessKeyId.toUtf8() + '/' +
                                             credentialScope(parameters));
    request.addQuery("X-Amz-Date", amzDate(parameters.time));
    request.addQuery("X-Amz-Expires", QByteArray::number(expirySeconds));
    request.addQuery("X-Amz-SignedHeaders", "host");
    if (!parameters.credentials.sessionToken.isEmpty())
        request.addQuery("X-Amz-Security-Token", parameters.credentials.sessionToken.toUtf8());
    HttpRequest hostOnly = request;
    hostOnly.headers.clear();
    const QByteArray canonical =
        sigv4::canonicalRequest(hostOnly, unsignedPayload, parameters.normalizePath);
    request.addQuery("X-Amz-Signature",
                     sigv4::signature(sigv4::stringToSign(canonical, parameters), parameters));
}

} // namespace Brenn_AWS::aws
