// The components table's rules and how new components are made, without a window.
#include "ComponentAssets.h"
#include "ComponentRows.h"

#include <QtTest>

using namespace Zelt_Service_API;

namespace {
ZeltAsset asset(qint32 id, int mode = 1, qint64 size = 0, const QString &path = {})
{
    ZeltAsset a;
    a.setId(id);
    a.setMode(mode);
    a.setStgSize(size);
    a.setStgRelPath(path);
    return a;
}

QSet<qint32> placeholderIds(std::initializer_list<int> used)
{
    QSet<qint32> ids;
    for (int slot : used)
        ids.insert(ComponentRows::PlaceholderBase + slot);
    return ids;
}
} // namespace

class TestComponentRules : public QObject
{
    Q_OBJECT

private slots:
    void assetRowTexts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("mode");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("idText");
        QTest::addColumn<QString>("sizeText");
        QTest::newRow("base id is a number") << 22000 << 1 << qint64(0) << "22000"
                                             << "0 KB";
        QTest::newRow("first slot") << 22001 << 1 << qint64(1048575) << "URL#1"
                                    << "1023 KB";
        QTest::newRow("last slot") << 22999 << 1 << qint64(1048576) << "URL#999"
                                   << "1024 KB";
        QTest::newRow("file") << 7 << 2 << qint64(1049600) << "7"
                              << "1 MB";
        QTest::newRow("terabytes stay TB")
            << 8 << 0 << qint64(1024) * 1024 * 1024 * 1024 * 2048 << "8"
            << "2048 TB";
        QTest::newRow("URL placeholder") << 22003 << 3 << qint64(5000) << "URL#3"
                                         << "ext";
    }
    void assetRowTexts()
    {
        QFETCH(int, id);
        QFETCH(int, mode);
        QFETCH(qint64, bytes);
        const auto row = ComponentRows::assetRow(asset(id, mode, bytes), QString());
        QTEST(row.idText, "idText");
        QTEST(row.sizeText, "sizeText");
    }

    void pathBelowTheStorageFolder_data()
    {
        QTest::addColumn<QString>("relPath");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("below the folder") << "acme/models/a.fbx"
                                          << "acme"
                                          << "a.fbx"
                                          << "models";
        QTest::newRow("in the folder") << "acme/a.fbx"
                                       << "/acme/"
                                       << "a.fbx"
                                       << "";
        QTest::newRow("similar folder kept") << "acme2/a.fbx"
                                             << "acme"
                                             << "a.fbx"
                                             << "acme2";
        QTest::newRow("no session folder") << "acme/x/a.fbx"
                                           << ""
                                           << "a.fbx"
                                           << "acme/x";
        QTest::newRow("URL") << "https://ex.com/d/a.pdf"
                             << "acme"
                             << "a.pdf"
                             << "https://ex.com/d";
    }
    void pathBelowTheStorageFolder()
    {
        QFETCH(QString, relPath);
        QFETCH(QString, folder);
        const auto row = ComponentRows::assetRow(asset(1, 1, 0, relPath), folder);
        QTEST(row.name, "name");
        QTEST(row.pathText, "path");
    }

    void bundleFirstThenPlaceholdersThenFiles()
    {
        ZeltAssetBundle first;
        first.setId(QStringLiteral("AB-7"));
        ZeltAssetBundle second = first;
        second.setId(QStringLiteral("AB-8"));
        ZeltMeetingInfo info;
        info.setAssetBundles({first, second});
        info.setAssets({asset(5), asset(22002), asset(1), asset(22000), asset(22001)});

        QStringList ids;
        for (const auto &row : ComponentRows::rowsOf(info, QString()))
            ids << row.idText + QLatin1Char(' ') + row.bundleId;
        QCOMPARE(ids, (QStringList{"AB AB-7", "22000 ", "URL#1 ", "URL#2 ", "1 ", "5 "}));
    }

    void placeholderSlots_data()
    {
        QTest::addColumn<QSet<qint32>>("used");
        QTest::addColumn<int>("fileSlot");
        QTest::addColumn<int>("urlSlot");
        QTest::newRow("none used") << QSet<qint32>() << 1 << 1;
        QTest::newRow("gap at 3") << placeholderIds({1, 2, 4}) << 3 << 3;
        QTest::newRow("first twenty used")
            << placeholderIds(
                   {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})
            << 21 << 1;
    }
    void placeholderSlots()
    {
        QFETCH(QSet<qint32>, used);
        QTEST(ComponentAssets::smallestFreeSlot(used), "fileSlot");
        QTEST(ComponentAssets::proposedCustomUrlSlot(used), "urlSlot");
    }

    void nextCloudFileIsAddressedByServerUrl()
    {
        // Stored files in S3 are checked end to end; Nextcloud has no stand-in.
        ComponentAssets::StorageOrigin origin;
        origin.mode = 0;
        origin.credentials.setUser(QStringLiteral("nico"));
        const ZeltAsset made = ComponentAssets::fromBrowserItem(
            {{"url", "https://cloud.example"}, {"path", "/dav/a.pdf"}, {"size", "5368709120"}},
            origin);
        QCOMPARE(made.stgRelPath(), QStringLiteral("https://cloud.example/dav/a.pdf"));
        QCOMPARE(made.name(), QStringLiteral("a.pdf"));
        QCOMPARE(made.stgSize(), qint64(5368709120));
        QVERIFY(!made.isStgBucketSet());
        QCOMPARE(made.stgCredentials().user(), QStringLiteral("nico"));
    }
};

QTEST_GUILESS_MAIN(TestComponentRules)
#include "tst_componentrules.moc"
