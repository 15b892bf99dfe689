// The stand-in driven by the console's own REST clients. Every operation of the four clients is
// answered, and every model field the console reads later is checked where the stand-in sets
// it, so that a JSON name or type the two sides see differently shows up here.
#include "SimTestServer.h"
#include "auth/ZeltAuthApi.h"
#include "auth/ZeltError.h"
#include "meeting/ZeltMeetingApi.h"
#include "service/ZeltAssetBundleApi.h"
#include "service/ZeltMeetingServiceApi.h"

#include <QtTest>

#include <type_traits>

using Zelt_AuthService_API::ZeltAuth;
using Zelt_AuthService_API::ZeltAuthApi;
using Zelt_AuthService_API::ZeltError;
using Zelt_AuthService_API::ZeltUser;
using Zelt_AuthService_API::ZeltUserGroup;
using Zelt_AuthService_API::ZeltUserGroups;
using Zelt_MeetingService_API::ZeltMeeting;
using Zelt_MeetingService_API::ZeltMeetingApi;
using Zelt_MeetingService_API::ZeltPresenter;
using namespace Zelt_Service_API;

namespace {

const QString realm = QStringLiteral("Brenn");
const QString annaId = QStringLiteral("4f3b2a10-7c6d-4e5f-9a8b-000000000001");

// The first answer of one client operation, success or failure, caught by spies set up before
// the call.
class Answer
{
public:
    template <typename Client, typename Succeeded, typename Failed>
    Answer(const Client *client, Succeeded succeeded, Failed failed)
        : m_succeeded(client, succeeded), m_failed(client, failed)
    {
    }

    // Waits for the answer; true when it was exactly one success signal.
    bool succeeded() { return wait() && m_succeeded.size() == 1 && m_failed.isEmpty(); }
    bool failed() { return wait() && m_failed.size() == 1 && m_succeeded.isEmpty(); }
    template <typename T> T result() const { return m_succeeded.value(0).value(0).value<T>(); }
    // The failure signal's error_type and error_str, its last two arguments.
    QNetworkReply::NetworkError errorType() const
    {
        const QList<QVariant> arguments = m_failed.value(0);
        return arguments.value(arguments.size() - 2).value<QNetworkReply::NetworkError>();
    }
    QString errorText() const
    {
        return m_failed.value(0).value(m_failed.value(0).size() - 1).toString();
    }
    // The ZeltError the console parses from the error text.
    ZeltError error() const { return ZeltError::fromErrorText(errorText()); }

private:
    bool wait()
    {
        return QTest::qWaitFor([this] { return !m_succeeded.isEmpty() || !m_failed.isEmpty(); },
                               20000);
    }

    QSignalSpy m_succeeded;
    QSignalSpy m_failed;
};

// Spies on the <operation>Signal and <operation>SignalE of a client variable.
#define ANSWER_OF(client, operation)                                                               \
    &(client), &std::remove_reference_t<decltype(client)>::operation##Signal,                      \
        &std::remove_reference_t<decltype(client)>::operation##SignalE

// The console's four clients, set up with the headers the console gives them.
struct ConsoleClients
{
    ConsoleClients(const QString &baseUrl, const QString &token)
        : auth(ServiceAddress::fromConfig(baseUrl, QString())),
          meetings(ServiceAddress::fromConfig(baseUrl, QString())),
          service(ServiceAddress::fromConfig(baseUrl, QString())),
          bundles(ServiceAddress::fromConfig(baseUrl, QString()))
    {
        auth.addHeaders(QStringLiteral("Content-Type"),
                        QStringLiteral("application/x-www-form-urlencoded"));
        for (ZeltApiClient *client :
             {static_cast<ZeltApiClient *>(&meetings), static_cast<ZeltApiClient *>(&service),
              static_cast<ZeltApiClient *>(&bundles)}) {
            client->addHeaders(QStringLiteral("Content-Type"), QStringLiteral("application/json"));
            client->addHeaders(QStringLiteral("accept"), QStringLiteral("application/json"));
        }
        if (!token.isEmpty())
            setToken(token);
    }

    void setToken(const QString &token)
    {
        const QString bearer = QStringLiteral("Bearer ") + token;
        auth.addHeaders(QStringLiteral("Authorization"), bearer);
        meetings.addHeaders(QStringLiteral("Authorization"), bearer);
        service.addHeaders(QStringLiteral("Authorization"), bearer);
        bundles.addHeaders(QStringLiteral("Authorization"), bearer);
    }

    ZeltAuthApi auth;
    ZeltMeetingApi meetings;
    ZeltMeetingServiceApi service;
    ZeltAssetBundleApi bundles;
};

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The first item with the id, or an empty one (every field unset) when none has it.
template <typename T> T findById(const QList<T> &items, const QString &id)
{
    for (const T &item : items) {
        if (QVariant(item.id()).toString() == id)
            return item;
    }
    return T();
}

ZeltMirrorClientInfo findClient(const ZeltMeetingInfo &info, const QString &alias)
{
    for (const ZeltMirrorClientInfo &client : info.clients()) {
        if (client.alias() == alias)
            return client;
    }
    return ZeltMirrorClientInfo();
}

ZeltMeetingInfo findInfo(const QList<ZeltMeetingInfo> &infos, const QString &meetingId)
{
    for (const ZeltMeetingInfo &info : infos) {
        if (info.meetingId().compare(meetingId, Qt::CaseInsensitive) == 0)
            return info;
    }
    return ZeltMeetingInfo();
}

// A vector as "x,y,z", for readable comparisons.
QString text(const ZeltDefVector3 &vector)
{
    return QStringLiteral("%1,%2,%3").arg(vector.x()).arg(vector.y()).arg(vector.z());
}

QDateTime textDate(const QString &text)
{
    return QDateTime::fromString(text, Qt::TextDate);
}

} // namespace

class TestSimClients : public SimTestCase
{
    Q_OBJECT

private slots:
    void loginUserAndGroups();
    void tokenLifecycle();
    void passwordChange();
    void meetingLifecycle();
    void meetingAccessIsChecked();
    void liveMeetingInfo();
    void assetsOfAMeeting();
    void meetingCommandsAndLogs();
    void serviceEndpoints();
    void banlist();
    void assetBundles();
    void requestsWithoutTokenAreRefused();

private:
    std::unique_ptr<ConsoleClients> clientsOf(const QString &login)
    {
        return std::make_unique<ConsoleClients>(server().url(), server().login(login));
    }
    ZeltMeetingInfo meetingInfo(ConsoleClients &clients, const QString &meetingId);
    QList<ZeltMeetingInfo> serviceMeetings(ConsoleClients &clients);
};

ZeltMeetingInfo TestSimClients::meetingInfo(ConsoleClients &clients, const QString &meetingId)
{
    Answer info(ANSWER_OF(clients.service, meetingInfo));
    clients.service.meetingInfo(meetingId);
    if (!info.succeeded())
        qWarning() << "meetingInfo failed:" << info.errorText();
    return info.result<ZeltMeetingInfo>();
}

QList<ZeltMeetingInfo> TestSimClients::serviceMeetings(ConsoleClients &clients)
{
    Answer listing(ANSWER_OF(clients.service, serviceMeetings));
    clients.service.serviceMeetings();
    if (!listing.succeeded())
        qWarning() << "serviceMeetings failed:" << listing.errorText();
    return listing.result<QList<ZeltMeetingInfo>>();
}

void TestSimClients::loginUserAndGroups()
{
    ConsoleClients clients(server().url(), QString());
    Answer refused(ANSWER_OF(clients.auth, authLoginPost));
    clients.auth.authLoginPost(realm, "anna", "wrong-password", QString());
    QVERIFY(refused.failed());
    QCOMPARE(refused.errorType(), QNetworkReply::AuthenticationRequiredError);
    QVERIFY(refused.error().isValid());
    QCOMPARE(refused.error().code(), 401);
    QCOMPARE(refused.error().message(), QStringLiteral("invalid user credentials"));

    Answer login(ANSWER_OF(clients.auth, authLoginPost));
    clients.auth.authLoginPost(realm, "anna", "anna-demo", QString());
    QVERIFY(login.succeeded());
    const ZeltAuth auth = login.result<ZeltAuth>();
    QVERIFY(auth.isValid()); // all eight members, each of its type
    QVERIFY(!auth.accessToken().isEmpty());
    QVERIFY(!auth.refreshToken().isEmpty());
    QCOMPARE(auth.expiresIn(), 300);
    QCOMPARE(auth.refreshExpiresIn(), 1800);
    QCOMPARE(auth.tokenType(), QStringLiteral("Bearer"));

    clients.setToken(auth.accessToken());
    Answer user(ANSWER_OF(clients.auth, authUserGet));
    clients.auth.authUserGet(QString(), "login-app", "meeting-app");
    QVERIFY(user.succeeded());
    const ZeltUser anna = user.result<ZeltUser>();
    QCOMPARE(anna.id(), annaId);
    QCOMPARE(anna.userId(), QStringLiteral("anna"));
    QCOMPARE(anna.status(), QStringLiteral("active"));
    QCOMPARE(anna.roles(), QStringList{"Zelt_Presenter"});
    QCOMPARE(anna.company(), QStringLiteral("Acme"));
    QCOMPARE(anna.firstName(), QStringLiteral("Anna"));
    QCOMPARE(anna.lastName(), QStringLiteral("Berg"));
    QCOMPARE(anna.email(), QStringLiteral("anna@acme.example"));
    QCOMPARE(anna.phone(), QStringLiteral("+49 30 5550001"));
    QCOMPARE(anna.created(), QDate(2023, 2, 11));

    Answer groups(ANSWER_OF(clients.auth, authGroupsGet));
    clients.auth.authGroupsGet(realm, "Customer");
    QVERIFY(groups.succeeded());
    const ZeltUserGroups reply = groups.result<ZeltUserGroups>();
    QCOMPARE(reply.userId(), annaId);
    QCOMPARE(reply.groups().size(), 1);
    const ZeltUserGroup acme = reply.groups().first();
    QCOMPARE(acme.name(), QStringLiteral("Customer Acme"));
    QVERIFY(!acme.id().isEmpty());
    QCOMPARE(acme.subGroups().size(), 1);
    const ZeltUserGroup storage = acme.subGroups().first();
    QCOMPARE(storage.name(), QStringLiteral("S3_Config"));
    QMap<QString, QStringList> attributes;
    for (const auto &attribute : storage.attributes())
        attributes.insert(attribute.key(), attribute.value());
    QCOMPARE(attributes.value("Modus"), QStringList{"MINIO"});
    QCOMPARE(attributes.value("Folder"), QStringList{"acme"});
}

void TestSimClients::tokenLifecycle()
{
    ConsoleClients clients(server().url(), QString());
    Answer login(ANSWER_OF(clients.auth, authLoginPost));
    clients.auth.authLoginPost(realm, "gustav", "gustav-demo", QString());
    QVERIFY(login.succeeded());
    const ZeltAuth first = login.result<ZeltAuth>();
    clients.setToken(first.accessToken());

    // The access token runs out; the refresh token still brings a working one.
    server().server.advanceClock(first.expiresIn() + 1);
    Answer expired(ANSWER_OF(clients.service, serviceMeetings));
    clients.service.serviceMeetings();
    QVERIFY(expired.failed());
    QCOMPARE(expired.error().code(), 401);

    Answer refresh(ANSWER_OF(clients.auth, authRefreshPost));
    clients.auth.authRefreshPost(realm, first.refreshToken());
    QVERIFY(refresh.succeeded());
    const ZeltAuth renewed = refresh.result<ZeltAuth>();
    QVERIFY(renewed.isValid());
    QVERIFY(renewed.accessToken() != first.accessToken());
    clients.setToken(renewed.accessToken());
    QVERIFY(!serviceMeetings(clients).isEmpty());

    Answer logout(ANSWER_OF(clients.auth, authLogoutPost));
    clients.auth.authLogoutPost(renewed.refreshToken());
    QVERIFY(logout.succeeded());

    // What the live info object looks for to give up the session.
    Answer dead(ANSWER_OF(clients.auth, authRefreshPost));
    clients.auth.authRefreshPost(realm, renewed.refreshToken());
    QVERIFY(dead.failed());
    QVERIFY(dead.errorText().contains("Token is not active", Qt::CaseInsensitive));
    QCOMPARE(dead.error().message(), QStringLiteral("Token is not active"));
}

void TestSimClients::passwordChange()
{
    // The change-password dialog sends no bearer token: the old password is the proof.
    ConsoleClients clients(server().url(), QString());
    Answer wrong(ANSWER_OF(clients.auth, authPasswordResetPost));
    clients.auth.authPasswordResetPost(annaId, realm, "anna", "new-secret-1", "not-my-password");
    QVERIFY(wrong.failed());
    QVERIFY(wrong.errorText().contains("invalid user credentials", Qt::CaseInsensitive));

    Answer changed(ANSWER_OF(clients.auth, authPasswordResetPost));
    clients.auth.authPasswordResetPost(annaId, realm, "anna", "new-secret-1", "anna-demo");
    QVERIFY(changed.succeeded());
    QVERIFY(changed.result<ZeltAuth>().isValid());

    Answer oldPassword(ANSWER_OF(clients.auth, authLoginPost));
    clients.auth.authLoginPost(realm, "anna", "anna-demo", QString());
    QVERIFY(oldPassword.failed());
    Answer newPassword(ANSWER_OF(clients.auth, authLoginPost));
    clients.auth.authLoginPost(realm, "anna", "new-secret-1", QString());
    QVERIFY(newPassword.succeeded());
}

void TestSimClients::meetingLifecycle()
{
    auto anna = clientsOf("anna");
    Answer own(ANSWER_OF(anna->meetings, getMeetings));
    anna->meetings.getMeetings(annaId);
    QVERIFY(own.succeeded());
    const QList<ZeltMeeting> listed = own.result<QList<ZeltMeeting>>();
    QCOMPARE(listed.size(), 2);
    const ZeltMeeting acme01 = listed.first();
    QCOMPARE(acme01.id(), 1);
    QCOMPARE(acme01.meetingId(), QStringLiteral("Acme01"));
    QCOMPARE(acme01.title(), QStringLiteral("Quarterly review"));
    QVERIFY(!acme01.password().isEmpty());
    QVERIFY(acme01.isDescriptionSet());
    QCOMPARE(acme01.creatorId(), annaId);
    QCOMPARE(acme01.creator(), QStringLiteral("anna"));
    QCOMPARE(acme01.created(), QDate(2024, 5, 3));
    QCOMPARE(acme01.modified(), QDate(2024, 6, 11));
    QCOMPARE(acme01.license(), QStringLiteral("default"));
    QCOMPARE(acme01.status(), QStringLiteral("active"));
    QCOMPARE(acme01.audioMode(), 1);
    QCOMPARE(acme01.audioMode3D(), 10);
    QCOMPARE(acme01.chatMode(), 1);
    QCOMPARE(acme01.presenter().name(), QStringLiteral("Anna Berg"));
    QCOMPARE(acme01.presenter().email(), QStringLiteral("anna@acme.example"));
    QCOMPARE(listed.last().meetingId(), QStringLiteral("Acme02"));

    // Created as the meeting editor writes a new meeting.
    ZeltMeeting draft;
    ZeltPresenter presenter;
    presenter.setName("Anna Berg");
    presenter.setEmail("anna@acme.example");
    draft.setCreator("anna");
    draft.setCreatorId(annaId);
    draft.setPresenter(presenter);
    draft.setTitle("Design review");
    draft.setDescription("New lobby");
    draft.setAudioMode(0);
    draft.setAudioMode3D(0);
    draft.setChatMode(1);
    draft.setStatus("pending");
    draft.setLicense("endless");
    Answer create(ANSWER_OF(anna->meetings, createMeeting));
    anna->meetings.createMeeting(draft);
    QVERIFY(create.succeeded());
    const ZeltMeeting created = create.result<ZeltMeeting>();
    QVERIFY(created.id() > 6);
    QVERIFY(!created.meetingId().isEmpty());
    QCOMPARE(created.title(), QStringLiteral("Design review"));
    QCOMPARE(created.creator(), QStringLiteral("anna"));
    QCOMPARE(created.creatorId(), annaId);
    QCOMPARE(created.created(), server().server.now().date());
    QCOMPARE(created.status(), QStringLiteral("pending"));
    QCOMPARE(created.license(), QStringLiteral("endless"));
    QCOMPARE(created.presenter().name(), QStringLiteral("Anna Berg"));
    QVERIFY(!created.isPasswordSet());
    const QString key = created.meetingId().toLower();
    const ZeltMeetingInfo idle = findInfo(serviceMeetings(*anna), key);
    QVERIFY(idle.isSet());
    QVERIFY(!idle.isStatusMirrorSet());

    // Start as the meetings panel does: the whole meeting as listed, with status "active".
    Answer relisted(ANSWER_OF(anna->meetings, getMeetings));
    anna->meetings.getMeetings(annaId);
    QVERIFY(relisted.succeeded());
    const QList<ZeltMeeting> withNew = relisted.result<QList<ZeltMeeting>>();
    QCOMPARE(withNew.size(), 3);
    ZeltMeeting start = withNew.last();
    QCOMPARE(start.meetingId(), created.meetingId());
    start.setStatus("active");
    Answer started(ANSWER_OF(anna->meetings, updateMeeting));
    anna->meetings.updateMeeting(key, start);
    QVERIFY2(started.succeeded(), qPrintable(started.errorText()));
    QCOMPARE(started.result<ZeltMeeting>().status(), QStringLiteral("active"));
    const ZeltMeetingInfo running = findInfo(serviceMeetings(*anna), key);
    QVERIFY(running.isSet());
    QVERIFY(running.isStatusMirrorSet());
    QVERIFY(running.endingTime().isEmpty()); // "endless" has no end
    QCOMPARE(running.licenseMode(), 1);

    ZeltMeeting change;
    change.setTitle("Design review (moved)");
    change.setStatus("pending");
    Answer stopped(ANSWER_OF(anna->meetings, updateMeeting));
    anna->meetings.updateMeeting(key, change);
    QVERIFY(stopped.succeeded());
    QCOMPARE(stopped.result<ZeltMeeting>().title(), QStringLiteral("Design review (moved)"));
    QCOMPARE(stopped.result<ZeltMeeting>().status(), QStringLiteral("pending"));
    QVERIFY(!findInfo(serviceMeetings(*anna), key).isStatusMirrorSet());

    Answer removed(ANSWER_OF(anna->meetings, deleteMeeting));
    anna->meetings.deleteMeeting(key);
    QVERIFY(removed.succeeded());
    QVERIFY(!findInfo(serviceMeetings(*anna), key).isSet());
    Answer again(ANSWER_OF(anna->meetings, deleteMeeting));
    anna->meetings.deleteMeeting(key);
    QVERIFY(again.failed());
    QCOMPARE(again.errorType(), QNetworkReply::ContentNotFoundError);
    QCOMPARE(again.error().code(), 404);
}

void TestSimClients::meetingAccessIsChecked()
{
    auto anna = clientsOf("anna");
    ZeltMeeting start;
    start.setStatus("active");
    Answer foreign(ANSWER_OF(anna->meetings, updateMeeting));
    anna->meetings.updateMeeting("acme03", start); // gustav's
    QVERIFY(foreign.failed());
    QCOMPARE(foreign.errorType(), QNetworkReply::ContentAccessDenied);
    QVERIFY(foreign.error().isValid());
    QCOMPARE(foreign.error().code(), 403); // the console's "Cannot start meeting" case

    Answer unknown(ANSWER_OF(anna->meetings, updateMeeting));
    anna->meetings.updateMeeting("nosuch", start);
    QVERIFY(unknown.failed());
    QCOMPARE(unknown.error().code(), 404);
    Answer unknownInfo(ANSWER_OF(anna->service, meetingInfo));
    anna->service.meetingInfo("nosuch");
    QVERIFY(unknownInfo.failed());
    QCOMPARE(unknownInfo.error().code(), 404);

    Answer all(ANSWER_OF(anna->meetings, getMeetings));
    anna->meetings.getMeetings("*");
    QVERIFY(all.failed());
    QCOMPARE(all.error().code(), 403);

    auto vera = clientsOf("vera");
    Answer everything(ANSWER_OF(vera->meetings, getMeetings));
    vera->meetings.getMeetings("*");
    QVERIFY(everything.succeeded());
    QCOMPARE(everything.result<QList<ZeltMeeting>>().size(), 6);
}

void TestSimClients::liveMeetingInfo()
{
    auto anna = clientsOf("anna");
    const ZeltMeetingInfo info = meetingInfo(*anna, "acme01");
    QCOMPARE(info.meetingId(), QStringLiteral("Acme01"));
    QCOMPARE(info.statusMirror(), 1);
    // Twelve of the license's sixty minutes have passed.
    QCOMPARE(textDate(info.endingTime()).toSecsSinceEpoch(),
             server().server.now().addSecs(48 * 60).toSecsSinceEpoch());
    QCOMPARE(info.licenseMode(), 0);
    QCOMPARE(info.licenseCountAttendees(), 25);
    QCOMPARE(info.voiceMode(), 1);
    QCOMPARE(info.voiceMode3D(), 10);
    QCOMPARE(info.chatMode(), 1);

    const ZeltMirrorClientInfo host = findClient(info, "Anna (host)");
    QVERIFY(host.isSet());
    QVERIFY(host.isIdSet());
    QCOMPARE(host.currentRole(), QStringLiteral("Presenter"));
    QCOMPARE(host.meetingId(), QStringLiteral("Acme01"));
    QVERIFY(host.isIpSet());
    QVERIFY(!host.hostName().isEmpty());
    QCOMPARE(host.voiceEnabled(), true);
    QCOMPARE(host.voiceIsTalking(), true);
    QCOMPARE(host.credentials().user(), QStringLiteral("anna"));
    const ZeltMirrorClientInfo lisa = findClient(info, "Lisa");
    QVERIFY(lisa.isSet());
    QCOMPARE(lisa.voiceEnabled(), false);
    QCOMPARE(lisa.voiceIsTalking(), false);
    QCOMPARE(lisa.currentRole(), QStringLiteral("User"));

    QCOMPARE(info.assets().size(), 3);
    const ZeltAsset model = findById(info.assets(), "1");
    QVERIFY(model.isSet());
    QCOMPARE(model.meetingId(), QStringLiteral("Acme01"));
    QCOMPARE(model.name(), QStringLiteral("showroom.fbx"));
    QCOMPARE(model.mode(), 1);
    QCOMPARE(model.stgHost(), QStringLiteral("http://127.0.0.1:4568"));
    QCOMPARE(model.stgBucket(), QStringLiteral("vorel"));
    QCOMPARE(model.stgRelPath(), QStringLiteral("acme/models/showroom.fbx"));
    QCOMPARE(model.stgSize(), 7340032);
    QCOMPARE(text(model.scale()), QStringLiteral("1,1,1"));
    QCOMPARE(text(findById(info.assets(), "22002").position()), QStringLiteral("2,1.5,0"));
    QCOMPARE(findById(info.assets(), "22001").mode(), 3);

    QCOMPARE(info.assetBundles().size(), 1);
    const ZeltAssetBundle bundle = info.assetBundles().first();
    QCOMPARE(bundle.id(), QStringLiteral("AB-2"));
    QCOMPARE(bundle.name(), QStringLiteral("Acme showroom"));
    QCOMPARE(bundle.stgSize().size(), 4);

    QCOMPARE(info.spawnPoints().size(), 2);
    const ZeltSpawnPoint stage = findById(info.spawnPoints(), "1");
    QVERIFY(stage.isSet());
    QCOMPARE(stage.name(), QStringLiteral("Stage"));
    QCOMPARE(stage.meetingId(), QStringLiteral("Acme01"));
    QCOMPARE(text(stage.position()), QStringLiteral("5,0,2.5"));
    QCOMPARE(text(stage.rotation()), QStringLiteral("0,180,0"));

    // The console sends back the whole info it holds, changed in place: mute a member, make
    // another presenter, replace the spawn points, drop the bundle.
    ZeltMeetingInfo changed = info;
    QList<ZeltMirrorClientInfo> clients = changed.clients();
    for (ZeltMirrorClientInfo &client : clients) {
        if (client.alias() == QLatin1String("Anna (host)"))
            client.setVoiceEnabled(false);
        if (client.alias() == QLatin1String("Lisa"))
            client.setCurrentRole("Presenter");
    }
    changed.setClients(clients);
    ZeltSpawnPoint door;
    ZeltDefVector3 position;
    position.setX(-3);
    position.setY(0);
    position.setZ(4.5);
    door.setId(7);
    door.setName("Door");
    door.setPosition(position);
    changed.setSpawnPoints({door});
    changed.setAssetBundles({});
    Answer update(ANSWER_OF(anna->service, meetingInfoUpdate));
    anna->service.meetingInfoUpdate("acme01", changed);
    QVERIFY2(update.succeeded(), qPrintable(update.errorText()));

    const ZeltMeetingInfo after = meetingInfo(*anna, "acme01");
    QCOMPARE(findClient(after, "Anna (host)").voiceEnabled(), false);
    QCOMPARE(findClient(after, "Anna (host)").voiceIsTalking(), false);
    QCOMPARE(findClient(after, "Lisa").currentRole(), QStringLiteral("Presenter"));
    QCOMPARE(after.spawnPoints().size(), 1);
    QCOMPARE(after.spawnPoints().first().name(), QStringLiteral("Door"));
    QCOMPARE(after.spawnPoints().first().meetingId(), QStringLiteral("Acme01"));
    QCOMPARE(text(after.spawnPoints().first().position()), QStringLiteral("-3,0,4.5"));
    QVERIFY(after.assetBundles().isEmpty());
    QCOMPARE(after.assets().size(), 3);
}

void TestSimClients::assetsOfAMeeting()
{
    auto anna = clientsOf("anna");
    // A URL placeholder keeps its slot id; a new 3D model is sent with id 0 and gets one.
    ZeltAsset link;
    link.setId(22005);
    link.setName("Website");
    link.setMode(3);
    link.setStgRelPath("https://www.example.com/acme");
    Answer placeholder(ANSWER_OF(anna->service, assetAdd));
    anna->service.assetAdd("acme01", link);
    QVERIFY2(placeholder.succeeded(), qPrintable(placeholder.errorText()));
    const ZeltAsset stored = placeholder.result<ZeltAsset>();
    QCOMPARE(stored.id(), 22005);
    QCOMPARE(stored.meetingId(), QStringLiteral("Acme01"));
    QCOMPARE(stored.stgPreSgnPath(), QStringLiteral("https://www.example.com/acme"));

    ZeltAsset model;
    ZeltDefVector3 one;
    one.setX(1);
    one.setY(1);
    one.setZ(1);
    model.setId(0);
    model.setName("chair.fbx");
    model.setMode(1);
    model.setStgHost("http://127.0.0.1:4568");
    model.setStgBucket("vorel");
    model.setStgRelPath("acme/models/chair.fbx");
    model.setStgSize(5000000000);
    model.setScale(one);
    Answer added(ANSWER_OF(anna->service, assetAdd));
    anna->service.assetAdd("acme01", model);
    QVERIFY2(added.succeeded(), qPrintable(added.errorText()));
    const ZeltAsset chair = added.result<ZeltAsset>();
    QVERIFY(chair.id() > 0 && chair.id() < 22000);
    QVERIFY(chair.id() != 1);
    QCOMPARE(chair.stgSize(), 5000000000);
    QCOMPARE(text(chair.scale()), QStringLiteral("1,1,1"));
    QCOMPARE(meetingInfo(*anna, "acme01").assets().size(), 5);

    ZeltAsset banned = link;
    banned.setId(22006);
    banned.setStgRelPath("https://cdn.badvideo.example/clip");
    Answer refused(ANSWER_OF(anna->service, assetAdd));
    anna->service.assetAdd("acme01", banned);
    QVERIFY(refused.failed());
    QCOMPARE(refused.error().code(), 403);

    Answer removed(ANSWER_OF(anna->service, assetDelete));
    anna->service.assetDelete("acme01", 22005);
    QVERIFY(removed.succeeded());
    QVERIFY(!findById(meetingInfo(*anna, "acme01").assets(), "22005").isSet());
    Answer gone(ANSWER_OF(anna->service, assetDelete));
    anna->service.assetDelete("acme01", 22005);
    QVERIFY(gone.failed());
    QCOMPARE(gone.error().code(), 404);
}

void TestSimClients::meetingCommandsAndLogs()
{
    auto vera = clientsOf("vera");
    const ZeltMeetingInfo info = meetingInfo(*vera, "acme01");
    const ZeltMirrorClientInfo host = findClient(info, "Anna (host)");
    const ZeltMirrorClientInfo tom = findClient(info, "Tom");
    QVERIFY(host.isSet() && tom.isSet());

    // Commands as the live info object sends them: no meetingId in the body.
    ZeltMeetingCommand position;
    position.setCommand("GetPlayerPos");
    position.setParams({QString::number(host.id())});
    Answer where(ANSWER_OF(vera->service, meetingCommand));
    vera->service.meetingCommand(info.meetingId(), position);
    QVERIFY2(where.succeeded(), qPrintable(where.errorText()));
    const auto located = where.result<ZeltMeetingCommandResponse>();
    QCOMPARE(located.command(), QStringLiteral("GetPlayerPos"));
    QCOMPARE(located.meetingId(), QStringLiteral("Acme01"));
    QCOMPARE(located.vList().size(), 2);
    QCOMPARE(text(located.vList().at(0)), QStringLiteral("5,0,2.5"));
    QCOMPARE(text(located.vList().at(1)), QStringLiteral("0,180,0"));

    ZeltMeetingCommand message;
    message.setCommand("SendMessage");
    message.setParams({"Five minutes left"});
    Answer sent(ANSWER_OF(vera->service, meetingCommand));
    vera->service.meetingCommand("acme01", message);
    QVERIFY(sent.succeeded());
    QCOMPARE(sent.result<ZeltMeetingCommandResponse>().command(), QStringLiteral("SendMessage"));
    QCOMPARE(sent.result<ZeltMeetingCommandResponse>().sList().size(), 1);
    Answer mirrorLog(ANSWER_OF(vera->service, meetingLogfile));
    vera->service.meetingLogfile("acme01", 1);
    QVERIFY(mirrorLog.succeeded());
    const QStringList lastLine = lines(mirrorLog.result<QString>());
    QCOMPARE(lastLine.size(), 1);
    QVERIFY2(lastLine.first().endsWith("Message from vera: Five minutes left"),
             qPrintable(lastLine.first()));

    ZeltMeetingCommand kick;
    kick.setCommand("KickPlayer");
    kick.setParams({QString::number(tom.id())});
    Answer kicked(ANSWER_OF(vera->service, meetingCommand));
    vera->service.meetingCommand("acme01", kick);
    QVERIFY(kicked.succeeded());
    QCOMPARE(kicked.result<ZeltMeetingCommandResponse>().command(), QStringLiteral("KickPlayer"));
    QVERIFY(!findClient(meetingInfo(*vera, "acme01"), "Tom").isSet());
    Answer twice(ANSWER_OF(vera->service, meetingCommand));
    vera->service.meetingCommand("acme01", kick);
    QVERIFY(twice.failed());
    QCOMPARE(twice.error().code(), 404);

    Answer serviceLog(ANSWER_OF(vera->service, serviceLogfile));
    vera->service.serviceLogfile(3);
    QVERIFY(serviceLog.succeeded());
    QCOMPARE(lines(serviceLog.result<QString>()).size(), 3);
    Answer fullLog(ANSWER_OF(vera->service, meetingLogfile));
    vera->service.meetingLogfile("acme01", 200);
    QVERIFY(fullLog.succeeded());
    QVERIFY(lines(fullLog.result<QString>()).size() > 3);
}

void TestSimClients::serviceEndpoints()
{
    auto anna = clientsOf("anna");
    // The live info object reads the version from the body of the status reply.
    QString statusBody;
    connect(&anna->service, &ZeltMeetingServiceApi::serviceStatusSignalFull, this,
            [&statusBody](ZeltHttpRequestWorker *worker) {
                statusBody = QString::fromUtf8(worker->response);
            });
    server().server.setServiceVersion("2.10.3");
    Answer status(ANSWER_OF(anna->service, serviceStatus));
    anna->service.serviceStatus();
    QVERIFY(status.succeeded());
    const ZeltError statusMessage(statusBody);
    QCOMPARE(statusMessage.message(), QStringLiteral("OK - Version v2.10.3"));

    Answer update(ANSWER_OF(anna->service, serviceUpdate));
    anna->service.serviceUpdate();
    QVERIFY(update.succeeded());

    Answer versions(ANSWER_OF(anna->service, serviceVersions));
    anna->service.serviceVersions();
    QVERIFY(versions.succeeded());
    const ZeltVersions published = versions.result<ZeltVersions>();
    QCOMPARE(published.console().name(), QStringLiteral("Vorel Console"));
    QCOMPARE(published.console().version(), (QList<qint32>{3, 1, 2}));
    QCOMPARE(published.console().updateUrl(),
             server().url() + "/downloads/VorelConsoleSetup-3.1.2.exe");
    for (const ZeltVersion &kind :
         {published.windowsDesktop(), published.windowsVR(), published.android(), published.iOS()})
        QCOMPARE(kind.version().size(), 3);

    Answer storage(ANSWER_OF(anna->service, s3TempAccessKey));
    anna->service.s3TempAccessKey();
    QVERIFY(storage.succeeded());
    const ZeltS3TempAccessKey key = storage.result<ZeltS3TempAccessKey>();
    const VorelSim::SimulatorConfig &config = server().server.config();
    QCOMPARE(key.accessKeyId(), config.s3Key);
    QCOMPARE(key.secretAccessKey(), config.s3Secret);
    QVERIFY(!key.sessionToken().isEmpty());
    QCOMPARE(key.assumedRoleId(), QStringLiteral("acme"));
    QCOMPARE(key.arn(), QStringLiteral("MINIO"));
    QCOMPARE(key.bucket(), config.s3Bucket);
    QCOMPARE(key.endpoint(), config.s3Endpoint);
    // The console renews the credentials by this time, read as a Qt text date.
    QCOMPARE(textDate(key.expiration()).toSecsSinceEpoch(),
             server().server.now().addSecs(config.storageTokenLifetime).toSecsSinceEpoch());

    auto otto = clientsOf("otto");
    Answer noStorage(ANSWER_OF(otto->service, s3TempAccessKey));
    otto->service.s3TempAccessKey();
    QVERIFY(noStorage.failed());
    QCOMPARE(noStorage.error().code(), 403);

    const QList<ZeltMeetingInfo> listing = serviceMeetings(*anna);
    QCOMPARE(listing.size(), 2);
    QVERIFY(findInfo(listing, "acme01").isStatusMirrorSet());
    QVERIFY(!findInfo(listing, "acme01").clients().isEmpty());
    QVERIFY(!findInfo(listing, "acme02").isStatusMirrorSet());
}

void TestSimClients::banlist()
{
    auto anna = clientsOf("anna");
    Answer listed(ANSWER_OF(anna->service, banlistGet));
    anna->service.banlistGet();
    QVERIFY(listed.succeeded());
    const QList<ZeltBanlistEntry> entries = listed.result<QList<ZeltBanlistEntry>>();
    QCOMPARE(entries.size(), 2);
    const ZeltBanlistEntry pattern = findById(entries, "1");
    QVERIFY(pattern.isSet());
    QCOMPARE(pattern.mode(), 3);
    QCOMPARE(pattern.filename(), QStringLiteral("Video portals"));
    QCOMPARE(pattern.checksum(), QStringLiteral("*://*.badvideo.example/*"));

    ZeltBanlistEntry entry;
    entry.setMode(1);
    entry.setFilename("draft.pdf");
    entry.setChecksum("0cc175b9c0f1b6a831c399e269772661");
    Answer added(ANSWER_OF(anna->service, banlistPost));
    anna->service.banlistPost(entry);
    QVERIFY2(added.succeeded(), qPrintable(added.errorText()));
    const qint32 id = added.result<qint32>();
    QCOMPARE(id, 3);
    Answer relisted(ANSWER_OF(anna->service, banlistGet));
    anna->service.banlistGet();
    QVERIFY(relisted.succeeded());
    const ZeltBanlistEntry stored =
        findById(relisted.result<QList<ZeltBanlistEntry>>(), QString::number(id));
    QVERIFY(stored.isSet());
    QCOMPARE(stored.filename(), QStringLiteral("draft.pdf"));

    Answer refused(ANSWER_OF(anna->service, banlistDelete));
    anna->service.banlistDelete(id);
    QVERIFY(refused.failed());
    QCOMPARE(refused.error().code(), 403);

    auto vera = clientsOf("vera");
    Answer deleted(ANSWER_OF(vera->service, banlistDelete));
    vera->service.banlistDelete(id);
    QVERIFY(deleted.succeeded());
    QCOMPARE(deleted.result<qint32>(), id);
    Answer missing(ANSWER_OF(vera->service, banlistDelete));
    vera->service.banlistDelete(id);
    QVERIFY(missing.failed());
    QCOMPARE(missing.error().code(), 404);
}

void TestSimClients::assetBundles()
{
    auto anna = clientsOf("anna");
    Answer all(ANSWER_OF(anna->bundles, assetBundleGet));
    anna->bundles.assetBundleGet(QString());
    QVERIFY(all.succeeded());
    const QList<ZeltAssetBundle> visible = all.result<QList<ZeltAssetBundle>>();
    QCOMPARE(visible.size(), 2);
    const ZeltAssetBundle global = findById(visible, "AB-1");
    QVERIFY(global.isSet());
    QVERIFY(global.userId().isEmpty()); // shown as the team's
    QCOMPARE(global.name(), QStringLiteral("Lobby furniture"));
    QCOMPARE(global.mode(), 1);
    QCOMPARE(global.stgSize(), (QList<qint64>{4194304, 3145728, 2097152, 3670016}));
    QCOMPARE(global.stgChecksums().size(), 4);

    Answer one(ANSWER_OF(anna->bundles, assetBundleGet));
    anna->bundles.assetBundleGet("AB-2");
    QVERIFY(one.succeeded());
    const QList<ZeltAssetBundle> own = one.result<QList<ZeltAssetBundle>>();
    QCOMPARE(own.size(), 1);
    QCOMPARE(own.first().userId(), annaId);
    QCOMPARE(own.first().userName(), QStringLiteral("Anna Berg"));
    QCOMPARE(own.first().stgRelPath(), QStringLiteral("acme/__ASSETBUNDLES/Acme showroom"));

    // Created as the asset bundles panel builds a pending bundle.
    ZeltAssetBundle pending;
    pending.setMode(1);
    pending.setName("Garden");
    pending.setStgRelPath("acme/__ASSETBUNDLES/Garden");
    Answer created(ANSWER_OF(anna->bundles, assetBundlePost));
    anna->bundles.assetBundlePost(pending);
    QVERIFY2(created.succeeded(), qPrintable(created.errorText()));
    const QString id = created.result<QString>();
    QVERIFY(!id.isEmpty());

    ZeltAssetBundle global2 = pending;
    global2.setId("GLOBAL");
    global2.setName("Shared garden");
    Answer refused(ANSWER_OF(anna->bundles, assetBundlePost));
    anna->bundles.assetBundlePost(global2);
    QVERIFY(refused.failed());
    QCOMPARE(refused.error().code(), 403);
    auto vera = clientsOf("vera");
    Answer administrator(ANSWER_OF(vera->bundles, assetBundlePost));
    vera->bundles.assetBundlePost(global2);
    QVERIFY(administrator.succeeded());
    Answer shared(ANSWER_OF(anna->bundles, assetBundleGet));
    anna->bundles.assetBundleGet(administrator.result<QString>());
    QVERIFY(shared.succeeded());
    QVERIFY(shared.result<QList<ZeltAssetBundle>>().value(0).userId().isEmpty());

    Answer deleted(ANSWER_OF(anna->bundles, assetBundleDelete));
    anna->bundles.assetBundleDelete(id);
    QVERIFY(deleted.succeeded());
    QCOMPARE(deleted.result<QString>(), id);
    Answer gone(ANSWER_OF(anna->bundles, assetBundleGet));
    anna->bundles.assetBundleGet(id);
    QVERIFY(gone.failed());
    QCOMPARE(gone.error().code(), 404);
}

void TestSimClients::requestsWithoutTokenAreRefused()
{
    ConsoleClients anonymous(server().url(), QString());
    Answer user(ANSWER_OF(anonymous.auth, authUserGet));
    anonymous.auth.authUserGet(QString(), "login-app", "meeting-app");
    Answer meetings(ANSWER_OF(anonymous.meetings, getMeetings));
    anonymous.meetings.getMeetings(annaId);
    Answer live(ANSWER_OF(anonymous.service, serviceMeetings));
    anonymous.service.serviceMeetings();
    Answer bundles(ANSWER_OF(anonymous.bundles, assetBundleGet));
    anonymous.bundles.assetBundleGet(QString());
    for (Answer *answer : {&user, &meetings, &live, &bundles}) {
        QVERIFY(answer->failed());
        QCOMPARE(answer->errorType(), QNetworkReply::AuthenticationRequiredError);
        QCOMPARE(answer->error().code(), 401);
        QVERIFY(!answer->error().message().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestSimClients)
#include "tst_simclients.moc"
