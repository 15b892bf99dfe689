// The asset bundles panel in the main window against the stand-in and the shared S3 peer:
// what it lists, what it stores where, what the service received, and what a failure leaves.
#include "AssetBundleRules.h"
#include "ConsoleHarness.h"
#include "S3Peer.h"
#include "Zelt_AssetBundles.h"
#include "Zelt_S3.h"
#include "service/ZeltMeetingServiceApi.h"

#include <Brenn_AWS/Storage_S3.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

using Kind = Prompt::Kind;
using Zelt_Service_API::ZeltAssetBundle;
using Zelt_Service_API::ZeltMeetingServiceApi;

namespace {
const QString annaFolder = QStringLiteral("acme/__ASSETBUNDLES/");
const QStringList platforms{"win", "ios", "android", "web"};

bool progressShown()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<QProgressDialog *>(widget) && widget->isVisible())
            return true;
    return false;
}

// Size of the object in the bucket the stand-in hands out, -1 when there is none.
qint64 storedSize(const QString &key)
{
    S3Peer *peer = S3Peer::shared();
    Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, peer->endpoint(), QStringLiteral("S3RVER"),
                                  QStringLiteral("S3RVER"), QString());
    return storage.HasObject(QStringLiteral("vorel"), key);
}

// The keys of a bundle's four files, in upload order.
QStringList keysOf(const QString &storagePath)
{
    QStringList keys;
    for (const QString &platform : platforms)
        keys << storagePath + "." + platform + ".asb";
    return keys;
}
} // namespace

class TestAssetBundles : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ConsoleHarness> console;
    std::unique_ptr<QTemporaryDir> packs;

    QTableWidget *bundleTable() const { return console->child<QTableWidget>("ABTableWidget"); }
    QPushButton *button(const char *name) const { return console->child<QPushButton>(name); }

    QStringList rows() const
    {
        QStringList texts;
        for (int row = 0; row < bundleTable()->rowCount(); ++row)
            texts << QStringList{bundleTable()->item(row, 0)->text(),
                                 bundleTable()->item(row, 1)->text(),
                                 bundleTable()->item(row, 3)->text()}
                         .join(QLatin1Char('|'));
        return texts;
    }

    QList<QJsonObject> posts() const
    {
        QList<QJsonObject> bodies;
        for (const auto &received : console->sim.received(QStringLiteral("assetBundlePost")))
            bodies << QJsonDocument::fromJson(received.request.body).object();
        return bodies;
    }

    // Signs in and selects one of the user's meetings (the browser tabs work only then), with
    // the bundles tab in front, once the list and the storage tree are shown.
    void signIn(const QString &user, const QString &meetingId)
    {
        QVERIFY2(console->signIn(user), qPrintable(user));
        QTRY_VERIFY_WITH_TIMEOUT(bundleTable()->rowCount() > 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(console->child<QTreeWidget>("S3TreeWidget")->topLevelItemCount(),
                                 20000);
        auto *meetings = console->child<QTableWidget>("tblMeetings");
        QTRY_VERIFY_WITH_TIMEOUT(!meetings->findItems(meetingId, Qt::MatchFixedString).isEmpty(),
                                 10000);
        auto *serviceApi =
            console->window->findChildren<ZeltMeetingServiceApi *>(Qt::FindDirectChildrenOnly)
                .first();
        QSignalSpy infos(serviceApi, &ZeltMeetingServiceApi::meetingInfoSignal);
        meetings->selectRow(meetings->findItems(meetingId, Qt::MatchFixedString).first()->row());
        QTRY_VERIFY_WITH_TIMEOUT(!infos.isEmpty(), 10000);
        console->child<QTabWidget>("tabBrowser")
            ->setCurrentWidget(console->child<Zelt_AssetBundles>("tabBundles"));
        QVERIFY(button("btnCreate")->isEnabled());
    }

    // Pack files of base for the platforms given; the Windows file's path.
    QString writePacks(const QString &base, const QStringList &which = platforms)
    {
        for (const QString &platform : which) {
            QFile file(packs->filePath(base + "." + platform + ".asb"));
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray(platform.size() * 100, 'x'));
        }
        return packs->filePath(base + ".win.asb");
    }

    void create(const QString &windowsFile)
    {
        console->prompt.answer(windowsFile);
        button("btnCreate")->click();
    }

private slots:
    void init()
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
        packs = std::make_unique<QTemporaryDir>();
        if (!S3Peer::shared())
            QSKIP("no S3 peer");
    }
    void cleanup() { console.reset(); }

    void sizeOfABundle_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QList<qint64>{} << "0 KB";
        QTest::newRow("1536 in two files") << QList<qint64>{1024, 512} << "1 KB";
        QTest::newRow("1048576 stays KB")
            << QList<qint64>{262144, 262144, 262144, 262144} << "1024 KB";
        QTest::newRow("one more KB steps up") << QList<qint64>{1048576, 1024} << "1 MB";
        QTest::newRow("3221225472 beyond 32 bits")
            << QList<qint64>{1073741824, 1073741824, 1073741824} << "3 GB";
    }
    void sizeOfABundle()
    {
        QFETCH(QList<qint64>, sizes);
        ZeltAssetBundle bundle;
        bundle.setStgSize(sizes);
        QTEST(AssetBundleRules::sizeText(bundle), "text");
    }

    void listingPutsGlobalBundlesFirst()
    {
        // The stand-in lists in its own order; the global bundle comes after anna's here.
        console->sim.state().bundles.move(0, 1);
        signIn(QStringLiteral("anna"), QStringLiteral("Acme02"));
        QCOMPARE(rows(), (QStringList{"Lobby furniture|Vorel Team|12 MB",
                                      "Acme showroom|Anna Berg|33 MB"}));
        QVERIFY(button("btnCreateGlobal")->isHidden());

        bundleTable()->selectRow(0);
        QVERIFY(button("btnDelete")->isEnabled());
        button("btnDelete")->click();
        QCOMPARE(console->prompt.texts(Kind::Critical),
                 QStringList{"This Asset Bundle cannot be deleted."});

        bundleTable()->selectRow(1);
        console->prompt.answerButton(Prompt::Yes);
        button("btnDelete")->click();
        QCOMPARE(console->prompt.titles(Kind::Question), QStringList{"Delete Asset Bundle"});
        QTRY_COMPARE_WITH_TIMEOUT(rows().size(), 1, 10000);
        QCOMPARE(console->requestCount("assetBundleDelete"), 1);
        QCOMPARE(console->sim.received("assetBundleDelete").first().request.queryValue("bundleId"),
                 QStringLiteral("AB-2"));
    }

    void missingCompanionFileStopsBeforeUpload()
    {
        signIn(QStringLiteral("anna"), QStringLiteral("Acme02"));
        create(writePacks(QStringLiteral("room"), {"win", "ios", "android"}));
        QCOMPARE(console->prompt.titles(Kind::Critical), QStringList{"Missing file"});
        QCOMPARE(console->prompt.texts(Kind::Critical),
                 QStringList{"The web asset pack file could not be found.\n Expected path: " +
                             packs->filePath("room.web.asb")});
        QVERIFY(console->child<Zelt_S3>("tabS3")->isQueueIdle());
        QCOMPARE(storedSize(annaFolder + "room.win.asb"), -1);
        QVERIFY(!progressShown());
    }

    void nameIsUniquePerUser_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("refused");
        QTest::newRow("anna owns the name") << "anna" << true;
        QTest::newRow("another user may reuse it") << "vera" << false;
    }
    void nameIsUniquePerUser()
    {
        QFETCH(QString, user);
        QFETCH(bool, refused);
        signIn(user, user == "anna" ? "Acme02" : "Vorel01");
        // Named by the file name up to its first ".".
        create(writePacks(QStringLiteral("Acme showroom.v2")));
        QCOMPARE(console->prompt.texts(Kind::Critical),
                 refused ? QStringList{"An assetbundle of the name 'Acme showroom' already exists."}
                         : QStringList{});
        if (refused) {
            QVERIFY(console->child<Zelt_S3>("tabS3")->isQueueIdle());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(posts().size(), 1, 20000);
        QCOMPARE(posts().first().value("Name").toString(), QStringLiteral("Acme showroom"));
        QTRY_COMPARE_WITH_TIMEOUT(rows().filter("Acme showroom|").size(), 2, 10000);
    }

    void refusedBundleLeavesNoFilesBehind()
    {
        signIn(QStringLiteral("anna"), QStringLiteral("Acme02"));
        // Another session of anna's registers the name meanwhile; the service refuses it.
        QJsonObject rival = console->sim.state().bundles.at(1);
        rival.insert("Id", "AB-77");
        rival.insert("Name", "lounge");
        console->sim.state().bundles.append(rival);

        create(writePacks(QStringLiteral("lounge")));
        QVERIFY(progressShown());
        QTRY_COMPARE_WITH_TIMEOUT(console->prompt.titles(Kind::Critical),
                                  QStringList{"Error creating asset bundle"}, 20000);
        QCOMPARE(console->sim.received("assetBundlePost").first().status, 409);
        for (const QString &key : keysOf(annaFolder + "lounge"))
            QTRY_COMPARE_WITH_TIMEOUT(storedSize(key), -1, 10000);
        QVERIFY(!progressShown());
    }

    void failedUploadIsNeverRegistered()
    {
        signIn(QStringLiteral("anna"), QStringLiteral("Acme02"));
        auto *s3 = console->child<Zelt_S3>("tabS3");
        QStringList uploaded;
        connect(s3, &Zelt_S3::transferProgress, this,
                [&](int mode, QString, QString key, qlonglong size, qlonglong done) {
                    if (mode == 0 && size > 0 && done == size)
                        uploaded << key;
                });
        create(writePacks(QStringLiteral("atrium")));
        // The last file to go vanishes while the first ones upload.
        QVERIFY(QFile::remove(packs->filePath("atrium.web.asb")));
        QTRY_COMPARE_WITH_TIMEOUT(console->prompt.titles(Kind::Critical),
                                  QStringList{"Upload Error"}, 20000);
        QVERIFY(!progressShown());
        QTRY_VERIFY_WITH_TIMEOUT(s3->isQueueIdle(), 10000);
        QCOMPARE(uploaded, keysOf(annaFolder + "atrium").mid(0, 3));
        for (const QString &key : keysOf(annaFolder + "atrium"))
            QCOMPARE(storedSize(key), -1);

        // A later upload of something else registers nothing.
        QSignalSpy finished(s3, &Zelt_S3::uploadsFinished);
        s3->uploadFiles({packs->filePath("atrium.ios.asb")});
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
        QVERIFY(posts().isEmpty());
        QVERIFY(!progressShown());
    }

    void globalBundleOnlyByAdministrators()
    {
        signIn(QStringLiteral("vera"), QStringLiteral("Vorel01"));
        for (Prompt::Button button : {Prompt::Yes, Prompt::Yes, Prompt::Ok})
            console->prompt.answerButton(button);
        console->prompt.answer(writePacks(QStringLiteral("plaza")));
        button("btnCreateGlobal")->click();
        QCOMPARE(console->prompt.titles(Kind::Question),
                 (QStringList{"Create Global Asset Bundle", "Are you sure?"}));
        QCOMPARE(console->prompt.titles(Kind::Warning),
                 QStringList{"Creating global Asset Bundle"});
        QTRY_COMPARE_WITH_TIMEOUT(posts().size(), 1, 20000);
        QCOMPARE(posts().first().value("Id").toString(), QStringLiteral("GLOBAL"));
        // The whole bucket's files: no leading "/", which MinIO and s3rver refuse.
        QCOMPARE(posts().first().value("StgRelPath").toString(),
                 QStringLiteral("__ASSETBUNDLES/plaza"));
        QCOMPARE(storedSize("__ASSETBUNDLES/plaza.win.asb"), qint64(300));
        // Listed with the other global bundle, before anna's.
        QTRY_COMPARE_WITH_TIMEOUT(rows().size(), 3, 10000);
        QCOMPARE(rows().at(1), QStringLiteral("plaza|Vorel Team|1 KB"));
    }

    void createdBundleIsAssignedToAMeeting()
    {
        signIn(QStringLiteral("anna"), QStringLiteral("Acme02"));
        create(writePacks(QStringLiteral("kiosk")));
        QVERIFY(progressShown());
        QTRY_COMPARE_WITH_TIMEOUT(posts().size(), 1, 20000);
        QCOMPARE(posts().first(), (QJsonObject{{"Mode", 1},
                                               {"Name", "kiosk"},
                                               {"StgRelPath", "acme/__ASSETBUNDLES/kiosk"},
                                               {"StgSize", QJsonArray{300, 300, 700, 300}}}));
        const QStringList keys = keysOf(annaFolder + "kiosk");
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(storedSize(keys.at(i)), qint64(platforms.at(i).size() * 100));
        QTRY_VERIFY_WITH_TIMEOUT(rows().contains("kiosk|Anna Berg|1 KB"), 10000);
        QVERIFY(!progressShown());

        bundleTable()->selectRow(int(rows().indexOf("kiosk|Anna Berg|1 KB")));
        QTRY_VERIFY_WITH_TIMEOUT(button("btnAdd")->isEnabled(), 10000);
        button("btnAdd")->click();
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("meetingInfoUpdate"), 1, 10000);
        const QJsonArray assigned =
            console->sim.meetingInfo("Acme02").value("assetBundles").toArray();
        QCOMPARE(assigned.size(), 1);
        QCOMPARE(assigned.first().toObject().value("Name").toString(), QStringLiteral("kiosk"));
    }
};

QTEST_MAIN(TestAssetBundles)
#include "tst_assetbundles.moc"
