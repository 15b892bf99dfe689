// The components group in the main window, driven as a user would, against the stand-in and
// the shared S3 peer: what the table shows, which questions come, what the service received.
#include "ConsoleHarness.h"
#include "S3Peer.h"
#include "Zelt_AssetPropertiesDialog.h"
#include "Zelt_CustomURLInputDialog.h"
#include "service/ZeltMeetingServiceApi.h"

#include <Brenn_AWS/QAWSException.h>
#include <Brenn_AWS/Storage_S3.h>

#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

using Kind = Prompt::Kind;

namespace {
// A scripted prompt whose critical boxes stay open until a condition holds, as a modal box
// would while further replies arrive.
class HoldingPrompt : public ScriptedPrompt
{
public:
    std::function<bool()> holdCriticalUntil;
    bool conditionMet = true;

    Button message(Kind kind, QObject *parent, const QString &title, const QString &text,
                   Buttons buttons, Button defaultButton) override
    {
        if (kind == Kind::Critical && holdCriticalUntil)
            hold();
        return ScriptedPrompt::message(kind, parent, title, text, buttons, defaultButton);
    }

private:
    // A plain local loop, as QMessageBox::exec() runs: unlike qWaitFor it leaves objects alone
    // that were scheduled for deletion outside it.
    void hold()
    {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (holdCriticalUntil())
                loop.quit();
        });
        poll.start(10);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        conditionMet = conditionMet && holdCriticalUntil();
    }
};
} // namespace

class TestComponents : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ConsoleHarness> console;

    QTableWidget *table(const char *name) const { return console->child<QTableWidget>(name); }
    QPushButton *button(const char *name) const { return console->child<QPushButton>(name); }

    static QStringList column(QTableWidget *widget, int column)
    {
        QStringList texts;
        for (int row = 0; row < widget->rowCount(); ++row)
            texts << (widget->item(row, column) ? widget->item(row, column)->text() : QString());
        return texts;
    }

    QStringList assetRows() const
    {
        QStringList rows;
        QTableWidget *assets = table("tblAssets");
        for (int row = 0; row < assets->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < 4; ++column)
                cells << assets->item(row, column)->text();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

    QList<QJsonObject> bodies(const char *operation) const
    {
        QList<QJsonObject> result;
        for (const auto &received : console->sim.received(QString::fromLatin1(operation)))
            result << QJsonDocument::fromJson(received.request.body).object();
        return result;
    }

    // Signs in and opens the meeting's components.
    void openMeeting(const QString &user, const QString &meetingId, int expectedRows)
    {
        QVERIFY2(console->signIn(user), qPrintable(user));
        QTableWidget *meetings = table("tblMeetings");
        QTRY_VERIFY_WITH_TIMEOUT(column(meetings, 0).contains(meetingId), 10000);
        QSignalSpy infos(serviceApi(), &Zelt_Service_API::ZeltMeetingServiceApi::meetingInfoSignal);
        meetings->selectRow(int(column(meetings, 0).indexOf(meetingId)));
        QTRY_VERIFY_WITH_TIMEOUT(!infos.isEmpty(), 10000);
        QCOMPARE(table("tblAssets")->rowCount(), expectedRows);
    }

    // The main window's own client of the main service.
    Zelt_Service_API::ZeltMeetingServiceApi *serviceApi() const
    {
        return console->window
            ->findChildren<Zelt_Service_API::ZeltMeetingServiceApi *>(Qt::FindDirectChildrenOnly)
            .first();
    }

    void selectAsset(const QString &idText)
    {
        QTableWidget *assets = table("tblAssets");
        QTRY_VERIFY_WITH_TIMEOUT(column(assets, 0).contains(idText), 10000);
        assets->selectRow(int(column(assets, 0).indexOf(idText)));
    }

    // Puts objects, each holding its key, into the bucket the stand-in hands out; false
    // without an S3 peer.
    static bool store(const QStringList &keys)
    {
        S3Peer *peer = S3Peer::shared();
        if (!peer)
            return false;
        Brenn_AWS::Storage_S3 storage(Brenn_AWS::MinIO, peer->endpoint(), QStringLiteral("S3RVER"),
                                      QStringLiteral("S3RVER"), QString());
        try {
            for (const QString &key : keys)
                storage.UploadObject(QStringLiteral("vorel"), key, key.toUtf8());
        } catch (const QAWSException &failure) {
            qWarning() << "Cannot store test files:" << failure.message;
            return false;
        }
        return true;
    }

    void selectStoredFiles(const QString &folder, const QStringList &names)
    {
        auto *tree = console->child<QTreeWidget>("S3TreeWidget");
        QTRY_VERIFY_WITH_TIMEOUT(
            !tree->findItems(folder, Qt::MatchExactly | Qt::MatchRecursive).isEmpty(), 20000);
        tree->setCurrentItem(
            tree->findItems(folder, Qt::MatchExactly | Qt::MatchRecursive).first());
        QTableWidget *files = table("S3TableWidget");
        files->clearSelection();
        for (int row = 0; row < files->rowCount(); ++row) {
            if (names.contains(files->item(row, 0)->text()))
                files->selectionModel()->select(files->model()->index(row, 0),
                                                QItemSelectionModel::Select |
                                                    QItemSelectionModel::Rows);
        }
        QCOMPARE(files->selectionModel()->selectedRows().size(), names.size());
    }

    // Answers the custom URL dialog with slot and url; returns the slot it proposed.
    void answerCustomUrl(int slot, const QString &url, int *proposed)
    {
        whenDialogShows<Zelt_CustomURLInputDialog>([=](Zelt_CustomURLInputDialog *dialog) {
            auto *spin = dialog->findChild<QSpinBox *>("spnId");
            *proposed = spin->value();
            spin->setValue(slot);
            dialog->findChild<QLineEdit *>("leURL")->setText(url);
            dialog->findChild<QDialogButtonBox *>("buttonBox")
                ->button(QDialogButtonBox::Ok)
                ->click();
        });
    }

private slots:
    void init()
    {
        console = std::make_unique<ConsoleHarness>();
        QVERIFY2(console->error().isEmpty(), qPrintable(console->error()));
    }
    void cleanup() { console.reset(); }

    void meetingComponentsAreListed()
    {
        openMeeting(QStringLiteral("anna"), QStringLiteral("ACME01"), 4);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(assetRows(),
                 (QStringList{"AB|Acme showroom|33 MB|Asset Bundle",
                              "URL#1|agenda.pdf|ext|https://www.example.com/acme",
                              "URL#2|q2-figures.pdf|1 MB|slides", "1|showroom.fbx|7 MB|models"}));
        const QIcon link(QStringLiteral(":/Zelt_ServerApp/link.svg"));
        QCOMPARE(table("tblAssets")->item(1, 3)->icon().pixmap(16).toImage(),
                 link.pixmap(16).toImage());
        QVERIFY(!button("btnRemove")->isEnabled());
        QVERIFY(button("btnRemoveAll")->isEnabled());
        QVERIFY(button("btnCustomURL")->isEnabled());
    }

    void removingARow_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("infoUpdates");
        QTest::addColumn<QStringList>("deletes");
        QTest::newRow("bundle row") << "AB" << 1 << QStringList();
        QTest::newRow("file row") << "URL#2" << 0 << QStringList{"/meeting/Acme01/asset/22002"};
    }
    void removingARow()
    {
        QFETCH(QString, row);
        QFETCH(int, infoUpdates);
        QFETCH(QStringList, deletes);
        openMeeting(QStringLiteral("anna"), QStringLiteral("ACME01"), 4);
        if (QTest::currentTestFailed())
            return;
        selectAsset(row);
        const int loads = console->requestCount("meetingInfo");
        QVERIFY(button("btnRemove")->isEnabled());
        button("btnRemove")->click();
        QVERIFY(!column(table("tblAssets"), 0).contains(row));

        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("assetDelete") +
                                      console->requestCount("meetingInfoUpdate"),
                                  infoUpdates + int(deletes.size()), 10000);
        QStringList deleted;
        for (const auto &received : console->sim.received(QStringLiteral("assetDelete")))
            deleted << received.request.path.mid(received.request.path.indexOf("/meeting/"));
        QCOMPARE(deleted, deletes);
        if (infoUpdates) {
            // The whole info goes back, without the bundle and with every asset.
            const QJsonObject written = bodies("meetingInfoUpdate").first();
            QVERIFY(!written.contains(QStringLiteral("assetBundles")));
            QCOMPARE(written.value(QStringLiteral("assets")).toArray().size(), 3);
            // The update is followed by a reload that shows what the service kept.
            QTRY_VERIFY_WITH_TIMEOUT(console->requestCount("meetingInfo") > loads, 10000);
            QTRY_COMPARE_WITH_TIMEOUT(table("tblAssets")->rowCount(), 3, 10000);
        }
        QVERIFY(!column(table("tblAssets"), 0).contains(row));
    }

    void filesTakePlaceholderSlots()
    {
        if (!store({QStringLiteral("acme/comp/Chair.FBX"), QStringLiteral("acme/comp/notes.pdf"),
                    QStringLiteral("acme/comp/skip.pdf")}))
            QSKIP("no S3 peer");
        openMeeting(QStringLiteral("anna"), QStringLiteral("ACME01"), 4);
        if (QTest::currentTestFailed())
            return;

        // Slots 1 and 2 are taken: the custom URL is offered 3 and put into 4.
        int proposed = 0;
        answerCustomUrl(4, QStringLiteral("  https://www.example.com/acme/floor   plan.pdf "),
                        &proposed);
        button("btnCustomURL")->click();
        QCOMPARE(proposed, 3);
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("assetAdd"), 1, 10000);
        const QJsonObject url = bodies("assetAdd").first();
        QCOMPARE(url.value("Id").toInt(), 22004);
        QCOMPARE(url.value("Mode").toInt(), 3);
        QCOMPARE(url.value("StgRelPath").toString(),
                 QStringLiteral("https://www.example.com/acme/floor plan.pdf"));
        QCOMPARE(url.value("Name").toString(), QStringLiteral("floor plan.pdf"));
        QTRY_VERIFY_WITH_TIMEOUT(column(table("tblAssets"), 0).contains("URL#4"), 10000);

        // With 1, 2 and 4 in use a file is offered 3; the 3D model is asked nothing.
        selectStoredFiles(QStringLiteral("comp"), {"Chair.FBX", "notes.pdf"});
        console->prompt.answer(3);
        QVERIFY(button("btnAdd")->isEnabled());
        button("btnAdd")->click();
        QCOMPARE(console->prompt.titles(Kind::Integer), QStringList{"notes.pdf"});
        QCOMPARE(console->prompt.shown.last().text, QStringLiteral("Placeholder ID:"));
        QCOMPARE(console->prompt.shown.last().initial.toInt(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("assetAdd"), 3, 10000);
        QMap<QString, QJsonObject> added;
        for (const QJsonObject &body : bodies("assetAdd"))
            added.insert(body.value("Name").toString(), body);
        QCOMPARE(added.value("Chair.FBX").value("Id").toInt(), 0);
        QCOMPARE(added.value("Chair.FBX").value("StgRelPath").toString(),
                 QStringLiteral("acme/comp/Chair.FBX"));
        QCOMPARE(added.value("Chair.FBX").value("StgBucket").toString(), QStringLiteral("vorel"));
        QCOMPARE(added.value("Chair.FBX").value("StgSize").toInteger(), 19);
        QCOMPARE(added.value("notes.pdf").value("Id").toInt(), 22003);
        QTRY_VERIFY_WITH_TIMEOUT(column(table("tblAssets"), 0).contains("URL#3"), 10000);

        // A cancelled question skips the file.
        selectStoredFiles(QStringLiteral("comp"), {"skip.pdf"});
        button("btnAdd")->click();
        QCOMPARE(console->prompt.titles(Kind::Information), QStringList{"Item skipped"});
        QCOMPARE(console->prompt.texts(Kind::Information), QStringList{"skip.pdf not added"});
        QCOMPARE(console->requestCount("assetAdd"), 3);
    }

    void propertiesOfAUrlPlaceholder()
    {
        openMeeting(QStringLiteral("vera"), QStringLiteral("VOREL01"), 0);
        if (QTest::currentTestFailed())
            return;
        int proposed = 0;
        answerCustomUrl(1, QStringLiteral("https://www.example.com/vorel/tour.html"), &proposed);
        button("btnCustomURL")->click();
        selectAsset(QStringLiteral("URL#1"));
        QCOMPARE(assetRows(), QStringList{"URL#1|tour.html|ext|https://www.example.com/vorel"});

        bool onlyTheUrlShown = false;
        whenDialogShows<Zelt_AssetPropertiesDialog>([&](Zelt_AssetPropertiesDialog *dialog) {
            auto *edit = dialog->findChild<QLineEdit *>("leCustomURL");
            onlyTheUrlShown = dialog->windowTitle() == QStringLiteral("tour.html") &&
                              edit->text() == "https://www.example.com/vorel/tour.html" &&
                              !dialog->findChild<QGroupBox *>("grpCustomURL")->isHidden() &&
                              dialog->findChild<QGroupBox *>("grpScale")->isHidden() &&
                              dialog->findChild<QGroupBox *>("grpPosition")->isHidden();
            edit->setText(QStringLiteral("https://www.example.com/vorel/tour2.html"));
            dialog->findChild<QDialogButtonBox *>("buttonBox")
                ->button(QDialogButtonBox::Ok)
                ->click();
        });
        QVERIFY(button("btnProperties")->isEnabled());
        button("btnProperties")->click();
        QVERIFY(onlyTheUrlShown);

        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("assetAdd"), 2, 10000);
        const QJsonObject edited = bodies("assetAdd").last();
        QCOMPARE(edited.value("Id").toInt(), 22001);
        QCOMPARE(edited.value("StgRelPath").toString(), "https://www.example.com/vorel/tour2.html");
        QCOMPARE(edited.value("StgPreSgnPath").toString(),
                 "https://www.example.com/vorel/tour2.html");
        QCOMPARE(edited.value("Position").toObject(), (QJsonObject{{"x", 0}, {"y", 0}, {"z", 0}}));
        QCOMPARE(edited.value("Scale").toObject(), (QJsonObject{{"x", 1}, {"y", 1}, {"z", 1}}));
        // The reload keeps the edited row selected, and the service replaced, not added.
        QTRY_COMPARE_WITH_TIMEOUT(
            assetRows(), QStringList{"URL#1|tour2.html|ext|https://www.example.com/vorel"}, 10000);
    }

    void bannedFilesAreRefusedWithOneErrorBox()
    {
        if (!store({QStringLiteral("bantest/one.fbx"), QStringLiteral("bantest/two.fbx")}))
            QSKIP("no S3 peer");
        openMeeting(QStringLiteral("vera"), QStringLiteral("VOREL01"), 0);
        if (QTest::currentTestFailed())
            return;
        selectStoredFiles(QStringLiteral("bantest"), {"one.fbx", "two.fbx"});

        console->prompt.answerButton(Prompt::Yes);
        console->child<QPushButton>("btnS3BanFile")->click();
        QCOMPARE(console->prompt.titles(Kind::Information), QStringList{"Files added to Banlist"});
        QTRY_COMPARE_WITH_TIMEOUT(console->requestCount("banlistPost"), 2, 10000);
        QMap<QString, QJsonObject> banned;
        for (const QJsonObject &body : bodies("banlistPost"))
            banned.insert(body.value("Filename").toString(), body);
        QCOMPARE(banned.keys(), (QStringList{"one.fbx", "two.fbx"}));
        // s3rver's ETag is the MD5 of the content, in quotes that the entry leaves out.
        QCOMPARE(banned.value("one.fbx").value("Checksum").toString(),
                 QString::fromLatin1(
                     QCryptographicHash::hash("bantest/one.fbx", QCryptographicHash::Md5).toHex()));
        QCOMPARE(banned.value("one.fbx").value("Mode").toInt(), 0);
        QVERIFY(console->prompt.texts(Kind::Information)
                    .first()
                    .startsWith("The following files have been added to the Banlist:\n"));
        QVERIFY(console->prompt.texts(Kind::Information).first().contains("two.fbx\n"));

        // Both refusals arrive while the first box is open; only that one is shown.
        // The spy hears a refusal after the window has handled it: while the first box is
        // open, one recorded refusal is the second one.
        QSignalSpy refusals(serviceApi(),
                            &Zelt_Service_API::ZeltMeetingServiceApi::assetAddSignalE);
        HoldingPrompt holding;
        holding.holdCriticalUntil = [&refusals] { return refusals.size() == 1; };
        button("btnAdd")->click();
        QTRY_COMPARE_WITH_TIMEOUT(refusals.size(), 2, 10000);
        QVERIFY(holding.conditionMet);
        QCOMPARE(holding.titles(Kind::Critical), QStringList{"Error during operation"});
        QVERIFY2(holding.texts(Kind::Critical)
                     .first()
                     .startsWith("Error trying to add asset to meeting: Asset is on the banlist"),
                 qPrintable(holding.texts(Kind::Critical).first()));
        QCOMPARE(table("tblAssets")->rowCount(), 0);
    }
};

QTEST_MAIN(TestComponents)
#include "tst_components.moc"
