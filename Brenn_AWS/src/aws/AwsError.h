#pragma once

#include <QByteArray>
#include <QString>

namespace Brenn_AWS::aws {

// Numeric error types, numbered as the AWS SDK for C++ numbers them (CoreErrors, then the S3
// service range) so that callers see the codes they know.
namespace ErrorType {
enum : int
{
    IncompleteSignature = 0,
    InternalFailure = 1,
    InvalidAction = 2,
    InvalidClientTokenId = 3,
    InvalidParameterCombination = 4,
    InvalidQueryParameter = 5,
    InvalidParameterValue = 6,
    MissingAction = 7,
    MissingAuthenticationToken = 8,
    MissingParameter = 9,
    OptInRequired = 10,
    RequestExpired = 11,
    ServiceUnavailable = 12,
    Throttling = 13,
    Validation = 14,
    AccessDenied = 15,
    ResourceNotFound = 16,
    UnrecognizedClient = 17,
    MalformedQueryString = 18,
    SlowDown = 19,
    RequestTimeTooSkewed = 20,
    InvalidSignature = 21,
    SignatureDoesNotMatch = 22,
    InvalidAccessKeyId = 23,
    RequestTimeout = 24,
    NotInitialized = 25,
    ExpiredToken = 28,
    InvalidToken = 29,
    NetworkConnection = 99,
    Unknown = 100,
    ClientSigningFailure = 101,
    // S3 service errors, sequential in alphabetical order from 129 (the SDK's current layout).
    BucketAlreadyExists = 129,
    BucketAlreadyOwnedByYou = 130,
    EncryptionTypeMismatch = 131,
    IdempotencyParameterMismatch = 132,
    InvalidObjectState = 133,
    InvalidRequest = 134,
    InvalidWriteOffset = 135,
    NoSuchBucket = 136,
    NoSuchKey = 137,
    NoSuchUpload = 138,
    ObjectAlreadyInActiveTier = 139,
    ObjectNotInActiveTier = 140,
    TooManyParts = 141,
};
}

// A failed call: (numeric type, exception name, message), and the HTTP status when a response
// arrived (-1 otherwise).
struct AwsError
{
    int type = ErrorType::Unknown;
    QString exceptionName;
    QString message;
    int httpStatus = -1;
};

// Worth sending the same request again: no complete response, a 500, 502, 503 or 504, or the
// service's "SlowDown" or "RequestTimeout". The one rule behind QAWSException::transient.
bool isTransient(const AwsError &error);

// An error named by the service ("NoSuchKey", "ns#ThrottlingException:http://..."). Unknown names
// become Unknown with the SDK's "Unable to parse ExceptionName" message.
AwsError errorFromName(const QString &name, const QString &message, int httpStatus);

// An error status without a body (HEAD requests): the type follows from the status alone.
AwsError bodylessError(int httpStatus);

// A request that got no complete response: refused connection, reset, timeout.
AwsError transportError(int curlCode, const QString &curlText);

// An XML error document (S3 <Error>, query-protocol <ErrorResponse><Error>).
AwsError xmlError(int httpStatus, const QByteArray &body);

// A JSON 1.1 error: the name from the X-Amzn-ErrorType header or the body's "__type".
AwsError jsonError(int httpStatus, const QByteArray &errorTypeHeader, const QByteArray &body);

} // namespace Brenn_AWS::aws
