// The live info object's requests besides the poll: status and versions, logs, storage
// credentials, meeting commands, asset bundles and the banlist, against the platform stand-in.

#include "InfoHarness.h"
#include "RecordingHttpServer.h"
#include "Zelt_MeetingsInfoThread.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Zelt_Service_API;
using Zelt_AuthService_API::ZeltError;

namespace {
ZeltMeetingServiceApi *serviceClient(const Zelt_MeetingsInfoThread &info)
{
    return info.findChild<ZeltMeetingServiceApi *>();
}

const VorelSim::Participant *participant(VorelSim::SimulatorServer &sim, const QString &meetingId,
                                         const QString &alias)
{
    const VorelSim::Meeting *meeting = sim.state().meeting(meetingId);
    if (!meeting || !meeting->live)
        return nullptr;
    for (const VorelSim::Participant &guest : meeting->live->participants) {
        if (guest.alias == alias)
            return &guest;
    }
    return nullptr;
}

bool sameVector(const ZeltDefVector3 &vector, const VorelSim::Vector3 &expected)
{
    // The model carries floats.
    return qFuzzyCompare(1.0f + vector.x(), 1.0f + float(expected.x)) &&
           qFuzzyCompare(1.0f + vector.y(), 1.0f + float(expected.y)) &&
           qFuzzyCompare(1.0f + vector.z(), 1.0f + float(expected.z));
}

enum class Failing
{
    BundlePost,
    BundleDelete,
    BundleList,
    BanlistList,
    BanlistAdd,
    BanlistDelete
};
} // namespace

class TestInfoRequests : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void statusNamesServiceVersion_data();
    void statusNamesServiceVersion();
    void failedStatus();
    void versions();
    void failedVersions();
    void logs_data();
    void logs();
    void storageCredentials_data();
    void storageCredentials();

    void playerPosition();
    void playerPositionNeedsTwoVectors_data();
    void playerPositionNeedsTwoVectors();
    void commandsReachTheMeeting_data();
    void commandsReachTheMeeting();

    void assetBundles();
    void banlist();
    void failureBoxes_data();
    void failureBoxes();

private:
    // Signs the account in and hands the session to a fresh live info object.
    bool startSession(const QString &userId);

    std::unique_ptr<InfoHarness> harness;
    std::unique_ptr<Zelt_MeetingsInfoThread> info;
};

void TestInfoRequests::init()
{
    harness = std::make_unique<InfoHarness>();
    QVERIFY2(harness->error().isEmpty(), qPrintable(harness->error()));
    info = std::make_unique<Zelt_MeetingsInfoThread>(nullptr, harness->config());
}

void TestInfoRequests::cleanup()
{
    info.reset();
    harness.reset();
}

bool TestInfoRequests::startSession(const QString &userId)
{
    if (!harness->signIn(userId))
        return false;
    info->setLoginData(&harness->login);
    return true;
}

void TestInfoRequests::statusNamesServiceVersion_data()
{
    QTest::addColumn<QString>("serviceVersion");
    QTest::addColumn<bool>("named");
    QTest::addColumn<VersionNumber>("version");
    QTest::newRow("three parts") << "2.10.3" << true << VersionNumber{2, 10, 3};
    QTest::newRow("dashes") << "4-0-17" << true << VersionNumber{4, 0, 17};
    QTest::newRow("two parts") << "2.10" << false << VersionNumber{};
    QTest::newRow("four parts") << "2.1.0-beta" << false << VersionNumber{};
}

void TestInfoRequests::statusNamesServiceVersion()
{
    QFETCH(QString, serviceVersion);
    QFETCH(bool, named);
    QFETCH(VersionNumber, version);
    harness->sim.setServiceVersion(serviceVersion);
    QSignalSpy status(info.get(), &Zelt_MeetingsInfoThread::serviceStatus);
    QSignalSpy versionSpy(info.get(), &Zelt_MeetingsInfoThread::serviceVersion);
    info->getServiceStatus();
    AnswerCounter answers(serviceClient(*info), "serviceStatus");
    QVERIFY(answers.isValid());

    QTRY_COMPARE(answers.count(), 1);
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().first().toBool(), true);
    QCOMPARE(versionSpy.count(), named ? 1 : 0);
    if (named)
        QCOMPARE(versionSpy.first().first().value<Zelt_MeetingsInfoThread::_serviceVersion>(),
                 version);
}

void TestInfoRequests::failedStatus()
{
    harness->sim.failNext(QStringLiteral("serviceStatus"), 1, 503);
    QSignalSpy status(info.get(), &Zelt_MeetingsInfoThread::serviceStatus);
    QSignalSpy versionSpy(info.get(), &Zelt_MeetingsInfoThread::serviceVersion);
    info->getServiceStatus();
    QTRY_COMPARE(status.count(), 1);
    QCOMPARE(status.first().first().toBool(), false);
    QCOMPARE(versionSpy.count(), 0);
}

void TestInfoRequests::versions()
{
    QSignalSpy versions(info.get(), &Zelt_MeetingsInfoThread::serviceVersions);
    QSignalSpy status(info.get(), &Zelt_MeetingsInfoThread::serviceStatus);
    harness->sim.setPublishedVersion(QStringLiteral("Console"), {3, 4, 5});
    info->getServiceVersionInformation();
    QTRY_COMPARE(versions.count(), 1);
    const auto published = versions.first().first().value<ZeltVersions>();
    QCOMPARE(published.console().version(), (QList<qint32>{3, 4, 5}));
    QVERIFY(published.isWindowsDesktopSet());
    QCOMPARE(status.count(), 0);
}

void TestInfoRequests::failedVersions()
{
    harness->sim.failNext(QStringLiteral("serviceVersions"), 1, 503);
    QStringList events;
    connect(info.get(), &Zelt_MeetingsInfoThread::serviceVersions, this,
            [&](const ZeltVersions &versions) {
                events << (versions.isSet() ? QStringLiteral("versions")
                                            : QStringLiteral("empty versions"));
            });
    connect(info.get(), &Zelt_MeetingsInfoThread::serviceStatus, this,
            [&](bool ok) { events << QStringLiteral("status %1").arg(ok); });
    info->getServiceVersionInformation();
    QTRY_COMPARE(events,
                 (QStringList{QStringLiteral("empty versions"), QStringLiteral("status 0")}));
}

void TestInfoRequests::logs_data()
{
    QTest::addColumn<QString>("userId");
    QTest::addColumn<QString>("meetingId"); // empty: the service log
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("expected"); // empty: the stand-in's log tail

    QTest::newRow("service log") << "vera" << QString() << 2 << QString();
    QTest::newRow("empty service log") << "vera" << QString() << 0 << "Empty log file";
    QTest::newRow("service log refused") << "anna" << QString() << 2 << "Error getting logfile.";
    QTest::newRow("mirror log") << "anna"
                                << "Acme01" << 3 << QString();
    QTest::newRow("empty mirror log") << "anna"
                                      << "Acme01" << 0 << "Empty log file";
    QTest::newRow("unknown meeting") << "anna"
                                     << "Nope99" << 3 << "Error getting logfile.";
}

void TestInfoRequests::logs()
{
    QFETCH(QString, userId);
    QFETCH(QString, meetingId);
    QFETCH(int, lines);
    QFETCH(QString, expected);
    QVERIFY(startSession(userId));
    QSignalSpy serviceLog(info.get(), &Zelt_MeetingsInfoThread::serviceLog);
    QSignalSpy mirrorLog(info.get(), &Zelt_MeetingsInfoThread::mirrorLog);

    if (meetingId.isEmpty())
        info->getServiceLog(lines);
    else
        info->getMirrorLog(meetingId, lines);
    QSignalSpy &answered = meetingId.isEmpty() ? serviceLog : mirrorLog;
    QTRY_COMPARE(answered.count(), 1);
    QCOMPARE(serviceLog.count() + mirrorLog.count(), 1);

    if (expected.isEmpty()) {
        VorelSim::SimState &state = harness->sim.state();
        expected = meetingId.isEmpty() ? state.serviceLog.tail(lines)
                                       : state.meeting(meetingId)->mirrorLog.tail(lines);
        QCOMPARE(expected.count(QLatin1Char('\n')), lines);
    }
    QCOMPARE(answered.first().first().toString(), expected);
}

void TestInfoRequests::storageCredentials_data()
{
    QTest::addColumn<QString>("userId");
    QTest::addColumn<bool>("serviceDown");
    QTest::addColumn<QString>("arn"); // empty: the empty result
    QTest::newRow("MinIO account") << "anna" << false << "MINIO";
    QTest::newRow("S3 account") << "sven" << false << "S3";
    QTest::newRow("account without storage") << "otto" << false << QString();
    QTest::newRow("service down") << "anna" << true << QString();
}

void TestInfoRequests::storageCredentials()
{
    QFETCH(QString, userId);
    QFETCH(bool, serviceDown);
    QFETCH(QString, arn);
    QVERIFY(startSession(userId));
    if (serviceDown)
        harness->sim.failNext(QStringLiteral("s3TempAccessKey"), 1, 503);
    QSignalSpy credentials(info.get(), &Zelt_MeetingsInfoThread::s3TempAccess);

    info->getS3Token();
    QTRY_COMPARE(credentials.count(), 1);
    const auto key = credentials.first().first().value<ZeltS3TempAccessKey>();
    QCOMPARE(key.isSet(), !arn.isEmpty());
    if (arn.isEmpty())
        return;
    QCOMPARE(key.arn(), arn);
    QCOMPARE(key.accessKeyId(), harness->sim.config().s3Key);
    QCOMPARE(key.bucket(), harness->sim.config().s3Bucket);
    QVERIFY(!key.sessionToken().isEmpty());
    QVERIFY(QDateTime::fromString(key.expiration(), Qt::TextDate).isValid());
}

void TestInfoRequests::playerPosition()
{
    QVERIFY(startSession(QStringLiteral("anna")));
    const VorelSim::Participant *host =
        participant(harness->sim, QStringLiteral("Acme01"), QStringLiteral("Anna (host)"));
    QVERIFY(host);
    QSignalSpy positions(info.get(), &Zelt_MeetingsInfoThread::playerPos);

    info->sendMeetingCommand(QStringLiteral("Acme01"), QStringLiteral("GetPlayerPos"),
                             {QString::number(host->id)});
    QTRY_COMPARE(positions.count(), 1);
    const auto point = positions.first().first().value<ZeltSpawnPoint>();
    QCOMPARE(point.name(), QStringLiteral("Player Pos"));
    QVERIFY(sameVector(point.position(), host->position));
    QVERIFY(sameVector(point.rotation(), host->rotation));
    QVERIFY(!point.isIdSet());
}

void TestInfoRequests::playerPositionNeedsTwoVectors_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("position");
    QTest::newRow("one vector")
        << QByteArray(R"({"command":"GetPlayerPos","vList":[{"x":1,"y":2,"z":3}]})") << false;
    QTest::newRow("two vectors, other spelling")
        << QByteArray(R"({"command":"getplayerpos","vList":[{"x":1,"y":2,"z":3},)"
                      R"({"x":0,"y":90,"z":0}]})")
        << true;
    QTest::newRow("another command")
        << QByteArray(R"({"command":"KickPlayer","vList":[{"x":1,"y":2,"z":3},)"
                      R"({"x":0,"y":90,"z":0}]})")
        << false;
}

void TestInfoRequests::playerPositionNeedsTwoVectors()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, position);
    RecordingHttpServer service;
    QVERIFY(service.listen());
    service.setReply(RecordingHttpServer::Reply::json(reply));
    Zelt_MeetingsInfoThread peerInfo(nullptr, harness->config({}, service.url()));
    QSignalSpy positions(&peerInfo, &Zelt_MeetingsInfoThread::playerPos);

    peerInfo.sendMeetingCommand(QStringLiteral("room1"), QStringLiteral("GetPlayerPos"),
                                {QStringLiteral("7")});
    AnswerCounter answers(serviceClient(peerInfo), "meetingCommand");
    QVERIFY(answers.isValid());
    QTRY_COMPARE(answers.count(), 1);
    QCOMPARE(service.requests().size(), 1);
    QCOMPARE(positions.count(), position ? 1 : 0);
    if (position) {
        const auto point = positions.first().first().value<ZeltSpawnPoint>();
        QCOMPARE(point.position().z(), 3.0f);
        QCOMPARE(point.rotation().y(), 90.0f);
    }
}

void TestInfoRequests::commandsReachTheMeeting_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("addressesGuest");
    QTest::newRow("kick") << "KickPlayer" << true;
    QTest::newRow("message") << "SendMessage" << false;
}

void TestInfoRequests::commandsReachTheMeeting()
{
    QFETCH(QString, command);
    QFETCH(bool, addressesGuest);
    QVERIFY(startSession(QStringLiteral("anna")));
    const int guest =
        harness->sim.addParticipant(QStringLiteral("Acme01"), QStringLiteral("Guest"));
    QVERIFY(guest > 0);
    const QString param = addressesGuest ? QString::number(guest) : QStringLiteral("Hello, all");

    // The meetings panel names the meeting by its key.
    info->sendMeetingCommand(QStringLiteral("acme01"), command, {param});
    AnswerCounter answers(serviceClient(*info), "meetingCommand");
    QVERIFY(answers.isValid());
    QTRY_COMPARE(answers.count(), 1);

    const auto sent = harness->sim.received(QStringLiteral("meetingCommand"));
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().status, 200);
    QCOMPARE(sent.first().request.method, QByteArray("POST"));
    QVERIFY(sent.first().request.path.endsWith(QLatin1String("/zelt/svc/meeting/acme01/command")));
    const QJsonObject body = QJsonDocument::fromJson(sent.first().request.body).object();
    QCOMPARE(body, (QJsonObject{{QStringLiteral("command"), command},
                                {QStringLiteral("params"), QJsonArray{param}}}));

    const VorelSim::Meeting *meeting = harness->sim.state().meeting(QStringLiteral("Acme01"));
    if (addressesGuest)
        QVERIFY(!participant(harness->sim, QStringLiteral("Acme01"), QStringLiteral("Guest")));
    else
        QVERIFY(meeting->mirrorLog.lines().last().endsWith(QLatin1String("Hello, all")));
}

void TestInfoRequests::assetBundles()
{
    QStringList events;
    RecordingPrompt prompt(&events);
    QVERIFY(startSession(QStringLiteral("anna")));
    QSignalSpy listed(info.get(), &Zelt_MeetingsInfoThread::assetBundles);
    QSignalSpy stored(info.get(), &Zelt_MeetingsInfoThread::assetBundlePost);
    QSignalSpy deleted(info.get(), &Zelt_MeetingsInfoThread::assetBundleDeleted);

    info->getAssetBundles();
    QTRY_COMPARE(listed.count(), 1);
    QStringList ids;
    for (const ZeltAssetBundle &bundle : listed.first().first().value<QList<ZeltAssetBundle>>())
        ids << bundle.id();
    QCOMPARE(ids, (QStringList{QStringLiteral("AB-1"), QStringLiteral("AB-2")}));

    ZeltAssetBundle bundle;
    bundle.setName(QStringLiteral("Trade fair"));
    bundle.setMode(1);
    bundle.setStgRelPath(QStringLiteral("acme/__ASSETBUNDLES/Trade fair"));
    info->createAssetBundle(bundle);
    QTRY_COMPARE(stored.count(), 1);
    const QString id = stored.first().first().toString();
    QVERIFY(harness->sim.state().bundle(id));

    info->deleteAssetBundle(id);
    QTRY_COMPARE(deleted.count(), 1);
    QCOMPARE(deleted.first().first().toString(), id);
    QVERIFY(!harness->sim.state().bundle(id));
    QVERIFY(events.isEmpty());
}

void TestInfoRequests::banlist()
{
    QStringList events;
    RecordingPrompt prompt(&events);
    QVERIFY(startSession(QStringLiteral("vera")));
    QSignalSpy listed(info.get(), &Zelt_MeetingsInfoThread::banlist);
    QSignalSpy added(info.get(), &Zelt_MeetingsInfoThread::banlistPost);
    QSignalSpy deleted(info.get(), &Zelt_MeetingsInfoThread::banlistDeleted);

    info->getBanlist();
    QTRY_COMPARE(listed.count(), 1);
    const auto entries = listed.first().first().value<QList<ZeltBanlistEntry>>();
    QCOMPARE(entries.size(), harness->sim.state().banlist.size());
    QCOMPARE(entries.last().filename(), QStringLiteral("leaked-keynote.mp4"));

    ZeltBanlistEntry entry;
    entry.setMode(1);
    entry.setFilename(QStringLiteral("spam.mp4"));
    entry.setChecksum(QStringLiteral("0cc175b9c0f1b6a831c399e269772661"));
    info->addBanlistEntry(entry);
    QTRY_COMPARE(added.count(), 1);
    const int id = added.first().first().toInt();
    QCOMPARE(harness->sim.state().banlist.last().value(QStringLiteral("Id")).toInt(), id);

    info->deleteBanlistEntry(id);
    QTRY_COMPARE(deleted.count(), 1);
    QCOMPARE(deleted.first().first().toInt(), id);
    QCOMPARE(harness->sim.state().banlist.size(), entries.size());
    QVERIFY(events.isEmpty());
}

void TestInfoRequests::failureBoxes_data()
{
    QTest::addColumn<Failing>("failing");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    // The result signals in the order expected around the box.
    QTest::addColumn<QStringList>("events");

    const QString down = QStringLiteral("Service Unavailable");
    const QString taken = QStringLiteral("An asset bundle named 'Acme showroom' already exists");
    QTest::newRow("storing an asset bundle")
        << Failing::BundlePost << "Error creating asset bundle"
        << "An error occured while trying to create or modify asset bundle:\n" + taken
        << QStringList{"assetBundlePostError: " + taken, "box"};
    const QString refused = QStringLiteral("Not allowed to delete this asset bundle");
    QTest::newRow("deleting an asset bundle")
        << Failing::BundleDelete << "Error deleting asset bundle"
        << "An error occured while trying to delete asset bundle:\n" + refused
        << QStringList{"box"};
    QTest::newRow("listing asset bundles")
        << Failing::BundleList << "Error getting asset bundles"
        << "An error occured while trying to get asset bundles: \n" + down
        << QStringList{"box", "assetBundles: 0"};
    QTest::newRow("getting the banlist")
        << Failing::BanlistList << "Error getting banlist"
        << "An error occured while trying to get the banlist: \n" + down
        << QStringList{"box", "banlist: 0"};
    const QString badMode = QStringLiteral("Banlist Mode must be 0 to 3");
    QTest::newRow("adding a banlist entry")
        << Failing::BanlistAdd << "Error adding banlist entry"
        << "An error occured while trying to add an entry to the banlist:\n" + badMode
        << QStringList{"banlistPostError: " + badMode, "box"};
    const QString adminsOnly = QStringLiteral("Only administrators may delete banlist entries");
    QTest::newRow("deleting a banlist entry")
        << Failing::BanlistDelete << "Error deleting banlist entry"
        << "Deleting the banlist entry failed:\n" + adminsOnly << QStringList{"box"};
}

void TestInfoRequests::failureBoxes()
{
    QFETCH(Failing, failing);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QStringList, events);
    QStringList seen;
    RecordingPrompt prompt(&seen);
    QVERIFY(startSession(QStringLiteral("anna")));
    const auto record = [&seen](const QString &name, qsizetype count) {
        seen << QStringLiteral("%1: %2").arg(name).arg(count);
    };
    const auto recordError = [&seen](const QString &name, const ZeltError &error) {
        seen << QStringLiteral("%1: %2").arg(name, error.message());
    };
    using Info = Zelt_MeetingsInfoThread;
    connect(info.get(), &Info::assetBundles, this,
            [&](const QList<ZeltAssetBundle> &list) { record("assetBundles", list.size()); });
    connect(info.get(), &Info::banlist, this,
            [&](const QList<ZeltBanlistEntry> &list) { record("banlist", list.size()); });
    connect(info.get(), &Info::assetBundlePostError, this,
            [&](const ZeltError &error) { recordError("assetBundlePostError", error); });
    connect(info.get(), &Info::banlistPostError, this,
            [&](const ZeltError &error) { recordError("banlistPostError", error); });

    switch (failing) {
    case Failing::BundlePost: {
        ZeltAssetBundle bundle;
        bundle.setName(QStringLiteral("Acme showroom"));
        bundle.setMode(1);
        bundle.setStgRelPath(QStringLiteral("acme/__ASSETBUNDLES/Acme showroom 2"));
        info->createAssetBundle(bundle);
        break;
    }
    case Failing::BundleDelete:
        info->deleteAssetBundle(QStringLiteral("AB-1"));
        break;
    case Failing::BundleList:
        harness->sim.failNext(QStringLiteral("assetBundleGet"), 1, 503);
        info->getAssetBundles();
        break;
    case Failing::BanlistList:
        harness->sim.failNext(QStringLiteral("banlistGet"), 1, 503);
        info->getBanlist();
        break;
    case Failing::BanlistAdd: {
        ZeltBanlistEntry entry;
        entry.setMode(9);
        entry.setFilename(QStringLiteral("spam.mp4"));
        info->addBanlistEntry(entry);
        break;
    }
    case Failing::BanlistDelete:
        info->deleteBanlistEntry(1);
        break;
    }

    QTRY_COMPARE(seen, events);
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown.first().kind, Prompt::Kind::Critical);
    QCOMPARE(prompt.shown.first().title, title);
    QCOMPARE(prompt.shown.first().text, text);
}

QTEST_MAIN(TestInfoRequests)
#include "tst_inforequests.moc"
