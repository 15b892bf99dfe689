// The token service's and Translate's replies, and the JSON protocol's error replies. The
// first line stands for the x-amzn-errortype header.
#include "FuzzSupport.h"

#include "aws/AwsError.h"
#include "aws/StsClient.h"
#include "aws/TranslateClient.h"

using namespace Brenn_AWS::aws;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzInput(data, size);
    const Outcome<AssumedRole> role = parseAssumeRoleResponse(input);
    if (role.isSuccess())
        FUZZ_CHECK(!role.value().accessKeyId.isEmpty() && !role.value().secretAccessKey.isEmpty());
    parseTranslateTextReply(input, 200);
    const qsizetype lineEnd = input.indexOf('\n');
    const QByteArray errorType = lineEnd < 0 ? QByteArray() : input.left(lineEnd);
    jsonError(400, errorType, lineEnd < 0 ? input : input.mid(lineEnd + 1));
    return 0;
}
