#pragma once

#include <Brenn_AWS/QAWSException.h>
#include <Brenn_AWS/Type.h>

#include "aws/Endpoint.h"
#include "aws/Outcome.h"

namespace Brenn_AWS {

QAWSException exceptionFrom(const aws::AwsError &error);

template <class T> T valueOrThrow(const aws::Outcome<T> &outcome)
{
    if (!outcome.isSuccess())
        throw exceptionFrom(outcome.error());
    return outcome.value();
}

// MinIO: the location is the endpoint, region "eu-central-1". AWS: the location is the region
// of the service's regional endpoint. Any other type, or AWS without a location: the endpoint
// and region from the environment.
aws::Endpoint endpointFor(Type type, const QString &service, const QString &location);
// As endpointFor, but for AWS an endpoint URL in the environment (AWS_ENDPOINT_URL_S3, then
// AWS_ENDPOINT_URL) replaces the regional endpoint, as in the AWS SDKs; the location stays the
// region.
aws::Endpoint s3EndpointFor(Type type, const QString &location);

// An ETag as S3 sends it, without its double quotes.
QString withoutQuotes(QString eTag);

// Throws 187 when a single-user form is called in multi-user mode, 188 the other way round.
void checkMode(bool singleUser, bool singleUserFormCalled);

// The library's own failures around local files.
QAWSException missingUploadFile(const QString &path); // 222
QAWSException cannotOpenFile(const QString &path);    // 1
QAWSException cannotReadFile(const QString &path);    // 1, the file ended early
QAWSException cannotWriteFile(const QString &path);   // 1
// An empty object key, refused before it could address the bucket itself.
QAWSException emptyObjectKey(); // 6
// A stored transfer to continue that lacks what names it ("upload id", "bucket", ...).
QAWSException incompleteTransferState(const QString &missing); // 6
// A chunked transfer whose data does not match the object's ETag.
QAWSException integrityFailure(const QString &message); // 189

} // namespace Brenn_AWS
