// How the S3 browser names things: the user's area, folder keys, upload keys, content types and
// the folder tree built from a listing.
#include "S3ContentType.h"
#include "S3FolderTree.h"
#include "S3Paths.h"
#include "TransferRetry.h"
#include "Zelt_LoginData.h"

#include <QtTest>

class tst_S3Rules : public QObject
{
    Q_OBJECT

private slots:
    void rootFolder_data();
    void rootFolder();
    void uploadKeysAreListedInTheirFolder_data();
    void uploadKeysAreListedInTheirFolder();
    void contentType_data();
    void contentType();
    void treeShowsTheUsersAreaOnly();
    void treeForAdministratorShowsBundles();
    void insertedFilesKeepNameOrder();
    void retryDelays_data();
    void retryDelays();
    void outagePauses_data();
    void outagePauses();
};

void tst_S3Rules::rootFolder_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("roles");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("top");

    const QStringList user{"Zelt_Presenter"};
    QTest::newRow("leading slashes") << 2 << "//acme" << user << "acme/"
                                     << "S3 - acme/";
    QTest::newRow("trailing slash kept") << 1 << "acme/talks/" << user << "acme/talks/"
                                         << "MINIO - acme/talks/";
    QTest::newRow("part after a colon") << 1 << "tenant:acme" << user << "tenant:acme/"
                                        << "MINIO - acme/";
    QTest::newRow("administrator sees all")
        << 2 << "acme" << QStringList{"Zelt_Administrator"} << ""
        << "S3 - root";
    QTest::newRow("manual login") << -1 << "acme" << user << ""
                                  << "S3 - root";
}

void tst_S3Rules::rootFolder()
{
    QFETCH(int, mode);
    QFETCH(QString, folder);
    QFETCH(QStringList, roles);
    Zelt_LoginData session;
    session.storageMode = mode;
    session.storageFolder = folder;
    session.roles = roles;
    const QString root = S3Paths::rootFolder(session);
    QTEST(root, "root");
    QTEST(S3Paths::topItemText(mode, root), "top");
}

void tst_S3Rules::uploadKeysAreListedInTheirFolder_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("key");

    QTest::newRow("administrator top") << ""
                                       << ""
                                       << "a b#%+ä.txt";
    QTest::newRow("administrator folder") << ""
                                          << "talks/2026"
                                          << "talks/2026/a b#%+ä.txt";
    QTest::newRow("user top") << "acme/"
                              << ""
                              << "acme/a b#%+ä.txt";
    QTest::newRow("user folder") << "acme/"
                                 << "talks"
                                 << "acme/talks/a b#%+ä.txt";
}

void tst_S3Rules::uploadKeysAreListedInTheirFolder()
{
    QFETCH(QString, root);
    QFETCH(QString, relative);
    QFETCH(QString, key);
    const QString name = QStringLiteral("a b#%+ä.txt");
    QCOMPARE(S3Paths::objectKey(S3Paths::currentDir(root, relative), name), key);

    // Listed, the key lands in the folder it was uploaded into, with the key as listed.
    const S3FolderTree tree = S3FolderTree::fromListing({key}, {"5"}, {"e"}, root, false);
    const S3FolderTree::Folder &folder = tree.folders.last();
    QCOMPARE(folder.path, S3Paths::folderPathOf(key));
    QCOMPARE(folder.files.size(), 1);
    QCOMPARE(folder.files.at(0).toObject().value("path").toString(), key);
    QCOMPARE(folder.files.at(0).toObject().value("name").toString(), name);
}

void tst_S3Rules::contentType_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("type");
    QTest::newRow("fbx") << "/m/model.fbx"
                         << "application/octet-stream";
    QTest::newRow("endings are case-sensitive") << "/m/model.FBX"
                                                << "text/plain";
    QTest::newRow("jpeg") << "x.jpeg"
                          << "image/jpeg";
    QTest::newRow("pptx is not ppt") << "x.pptx"
                                     << "application/vnd.openxmlformats-officedocument."
                                        "presentationml.presentation";
    QTest::newRow("unknown") << "x.bin"
                             << "text/plain";
}

void tst_S3Rules::contentType()
{
    QFETCH(QString, path);
    QTEST(S3ContentType::forPath(path), "type");
}

void tst_S3Rules::treeShowsTheUsersAreaOnly()
{
    const S3FolderTree tree = S3FolderTree::fromListing(
        {"acme/intro.mp4", "acme/talks/", "acme/talks/a.pdf", "acme/__ASSETBUNDLES/b/pack.bin"},
        {"10", "0", "20", "30"}, {"e1", "NONE", "e2", "e3"}, "acme/", false);
    QCOMPARE(tree.folders.size(), 2);
    QCOMPARE(tree.folders.at(0).path, "/acme/");
    QCOMPARE(tree.folders.at(0).files.size(), 1);
    QCOMPARE(tree.folders.at(1).name, "talks");
    QCOMPARE(tree.folders.at(1).path, "/acme/talks/");
    QCOMPARE(tree.folders.at(1).files.at(0).toObject(),
             S3FolderTree::fileObject("a.pdf", "20", "e2", "acme/talks/a.pdf"));
}

void tst_S3Rules::treeForAdministratorShowsBundles()
{
    const S3FolderTree tree = S3FolderTree::fromListing(
        {"/__ASSETBUNDLES/b/pack.bin", "acme/x.txt"}, {"1", "2"}, {"e", "f"}, "", true);
    QStringList paths;
    for (const S3FolderTree::Folder &folder : tree.folders)
        paths << folder.path;
    QCOMPARE(paths, QStringList({"/", "/__ASSETBUNDLES/", "/__ASSETBUNDLES/b/", "/acme/"}));
    // The leading "/" of the listed key stays in what is sent for it.
    QCOMPARE(tree.folders.at(2).files.at(0).toObject().value("path").toString(),
             "/__ASSETBUNDLES/b/pack.bin");
}

void tst_S3Rules::insertedFilesKeepNameOrder()
{
    QJsonArray files;
    for (const char *name : {"m.txt", "c.txt", "x.txt", "a.txt"})
        S3FolderTree::insertFile(files, S3FolderTree::fileObject(name, "1", "e", name));
    S3FolderTree::insertFile(files, S3FolderTree::fileObject("m.txt", "2", "f", "m.txt"));
    QStringList names;
    for (const QJsonValue &file : std::as_const(files))
        names << file.toObject().value("name").toString() +
                     file.toObject().value("size").toString();
    QCOMPARE(names, QStringList({"a.txt1", "c.txt1", "m.txt2", "x.txt1"}));
}

void tst_S3Rules::retryDelays_data()
{
    QTest::addColumn<int>("retry");
    QTest::addColumn<double>("random");
    QTest::addColumn<int>("delay");
    QTest::newRow("first, least") << 1 << 0.0 << 400;
    QTest::newRow("first, middle") << 1 << 0.5 << 500;
    QTest::newRow("second, most") << 2 << 1.0 << 1200;
    QTest::newRow("fourth") << 4 << 0.5 << 4000;
    QTest::newRow("never longer than the fourth") << 9 << 0.5 << 4000;
}

void tst_S3Rules::retryDelays()
{
    QFETCH(int, retry);
    QFETCH(double, random);
    QTEST(TransferRetry::delayMs(retry, random), "delay");
}

void tst_S3Rules::outagePauses_data()
{
    QTest::addColumn<int>("attempt");
    QTest::addColumn<int>("pause");
    QTest::newRow("first") << 1 << 2000;
    QTest::newRow("fifth") << 5 << 32000;
    QTest::newRow("sixth, the longest") << 6 << 60000;
    QTest::newRow("never longer") << 40 << 60000;
}

void tst_S3Rules::outagePauses()
{
    QFETCH(int, attempt);
    QTEST(TransferRetry::outagePauseMs(attempt), "pause");
}

QTEST_GUILESS_MAIN(tst_S3Rules)
#include "tst_s3rules.moc"
