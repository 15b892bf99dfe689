// The JSON models of the three service clients, read the way the clients read reply bodies.
// The first byte picks the model; a model read once must write the same text when read again.
#include "FuzzSupport.h"

#include "ZeltApiClient.h"
#include "auth/ZeltAuth.h"
#include "auth/ZeltError.h"
#include "auth/ZeltUser.h"
#include "auth/ZeltUserGroup.h"
#include "auth/ZeltUserGroupAttribute.h"
#include "auth/ZeltUserGroups.h"
#include "meeting/ZeltMeeting.h"
#include "meeting/ZeltPresenter.h"
#include "service/ZeltAsset.h"
#include "service/ZeltAssetBundle.h"
#include "service/ZeltBanlistEntry.h"
#include "service/ZeltDefCredentials.h"
#include "service/ZeltDefVector3.h"
#include "service/ZeltMeetingCommand.h"
#include "service/ZeltMeetingCommandResponse.h"
#include "service/ZeltMeetingInfo.h"
#include "service/ZeltMirrorClientInfo.h"
#include "service/ZeltS3TempAccessKey.h"
#include "service/ZeltSpawnPoint.h"
#include "service/ZeltVersion.h"
#include "service/ZeltVersions.h"

#include <tuple>

using namespace Zelt_AuthService_API;
using namespace Zelt_MeetingService_API;
using namespace Zelt_Service_API;

namespace {

using Models = std::tuple<ZeltAuth, ZeltError, ZeltUser, ZeltUserGroup, ZeltUserGroupAttribute,
                          ZeltUserGroups, ZeltMeeting, ZeltPresenter, ZeltAsset, ZeltAssetBundle,
                          ZeltBanlistEntry, ZeltDefCredentials, ZeltDefVector3, ZeltMeetingCommand,
                          ZeltMeetingCommandResponse, ZeltMeetingInfo, ZeltMirrorClientInfo,
                          ZeltS3TempAccessKey, ZeltSpawnPoint, ZeltVersion, ZeltVersions>;

template <typename Model> void readModel(const QString &body)
{
    Model model;
    Zelt_Common_API::zeltReadResult(model, body);
    model.isValid();
    const QString written = model.asJson();
    Model again;
    again.fromJson(written);
    FUZZ_CHECK(again.asJson() == written);

    QList<Model> list;
    Zelt_Common_API::zeltReadResult(list, body);
}

template <std::size_t... I>
void readModelNumber(std::size_t n, const QString &body, std::index_sequence<I...>)
{
    ((n == I ? readModel<std::tuple_element_t<I, Models>>(body) : void()), ...);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    constexpr std::size_t count = std::tuple_size_v<Models>;
    QByteArray bytes = fuzzInput(data + 1, size - 1);
    // The clients see the body as text up to its first NUL.
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        bytes.truncate(nul);
    const QString body = QString::fromUtf8(bytes);
    readModelNumber(data[0] % count, body, std::make_index_sequence<count>{});
    ZeltError::fromErrorText(QStringLiteral("Error transferring, ") + body);
    return 0;
}
