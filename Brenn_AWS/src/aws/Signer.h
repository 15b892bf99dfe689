#pragma once

#include "HttpRequest.h"

#include <QDateTime>
#include <QString>

namespace Brenn_AWS::aws {

struct Credentials
{
    QString accessKeyId;
    QString secretKey;
    QString sessionToken; // sent only when not empty
};

// AWS Signature Version 4. Pure functions: the signing time is always a parameter.
struct SigningParameters
{
    Credentials credentials;
    QString region;
    QString service;
    QDateTime time;
    // Remove dot segments and empty segments from the path before signing; every service but
    // S3, whose keys are signed exactly as they are.
    bool normalizePath = false;
};

inline const QByteArray unsignedPayload = QByteArrayLiteral("UNSIGNED-PAYLOAD");
QByteArray sha256Hex(const QByteArray &bytes);

namespace sigv4 {
QByteArray canonicalUri(const QByteArray &rawPath, bool normalizePath);
QByteArray canonicalQuery(const QueryList &query);
// Sorted "name;name" and the "name:value\n" block, over the request's headers and Host.
QByteArray signedHeaderNames(const HttpRequest &request);
QByteArray canonicalHeaders(const HttpRequest &request);
QByteArray canonicalRequest(const HttpRequest &request, const QByteArray &payloadHash,
                            bool normalizePath);
QByteArray stringToSign(const QByteArray &canonicalRequest, const SigningParameters &parameters);
QByteArray signature(const QByteArray &stringToSign, const SigningParameters &parameters);
} // namespace sigv4

// Sets X-Amz-Date, X-Amz-Security-Token (with a session token) and Authorization; every header
// already on the request is signed.
void signRequest(HttpRequest &request, const QByteArray &payloadHash,
                 const SigningParameters &parameters);

// Adds the query parameters of a presigned URL valid for expirySeconds; only Host is signed.
void presignRequest(HttpRequest &request, qint64 expirySeconds,
                    const SigningParameters &parameters);

} // namespace Brenn_AWS::aws
