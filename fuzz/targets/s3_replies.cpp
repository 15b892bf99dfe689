// S3's XML replies and error documents, and the ETags they carry.
#include "FuzzSupport.h"

#include "aws/AwsError.h"
#include "aws/ObjectDigest.h"
#include "aws/S3Responses.h"

using namespace Brenn_AWS::aws;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = fuzzInput(data, size);
    const Outcome<ListPage> page = parseListObjectsV2(body);
    if (page.isSuccess()) {
        for (const S3Object &object : page.value().objects) {
            FUZZ_CHECK(object.size >= 0);
            // The listing's ETags decide how downloads are judged.
            const QString eTag = object.eTag.mid(1).chopped(object.eTag.size() > 1);
            const auto partSize =
                digestPartSize(eTag, object.size, 5 * 1024 * 1024, multipartCount(eTag));
            FUZZ_CHECK(!partSize || *partSize >= 0);
        }
        FUZZ_CHECK(!page.value().truncated || !page.value().nextContinuationToken.isEmpty());
    }
    const Outcome<QString> uploadId = parseInitiateMultipartUpload(body);
    FUZZ_CHECK(!uploadId.isSuccess() || !uploadId.value().isEmpty());
    const Outcome<QString> eTag = parseCompleteMultipartUpload(body);
    if (eTag.isSuccess())
        expectedCompletedETag(eTag.value(), QByteArray(16, 'x'));
    xmlError(400, body);
    return 0;
}
