#include "ConsoleConfig.h"
#include "ServiceAddress.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

class TestConsoleConfig : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString writeIni(const QString &name, const QByteArray &content)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }

    static ConsoleConfig load(const QString &iniPath)
    {
        return ConsoleConfig({QStringLiteral("Zelt_ConsoleApp"), QStringLiteral("-i"), iniPath});
    }

private slots:
    void missingFileGivesDefaults()
    {
        const ConsoleConfig config = load(dir.filePath(QStringLiteral("absent.ini")));
        QVERIFY(config.meetingServiceAuth);
        QCOMPARE(config.getInactivityTime(), 180);
        QVERIFY(config.getRestoreWindow());
        for (const QString &value :
             {config.meetingServiceHost, config.meetingServicePath, config.authServiceHost,
              config.authServicePath, config.serviceHost, config.servicePath})
            QVERIFY(value.isEmpty());
    }

    void defaultIniFileIsBesideTheExecutable()
    {
        const ConsoleConfig config({QStringLiteral("Zelt_ConsoleApp")});
        QCOMPARE(config.iniFile, QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                     QCoreApplication::applicationName() + QLatin1String(".ini"));
    }

    void readsEveryGroup()
    {
        const QString path = writeIni(QStringLiteral("full.ini"),
                                      "[Zelt_MeetingService]\nhost=https://meet.example:8443/base\n"
                                      "path=/meetings\nauth=on\n"
                                      "[Zelt_AuthService]\nhost=http://auth.example\npath=/a\n"
                                      "[Zelt_Service]\nhost=http://svc.example\npath=/zelt/svc\n"
                                      "[Zelt_Console]\ninactivitytime=600\nrestorewindow=false\n");
        const ConsoleConfig config = load(path);
        QCOMPARE(config.iniFile, path);
        QCOMPARE(config.meetingServiceHost, QStringLiteral("https://meet.example:8443/base"));
        QCOMPARE(config.meetingServicePath, QStringLiteral("/meetings"));
        QVERIFY(config.meetingServiceAuth);
        QCOMPARE(config.authServiceHost, QStringLiteral("http://auth.example"));
        QCOMPARE(config.authServicePath, QStringLiteral("/a"));
        QCOMPARE(config.serviceHost, QStringLiteral("http://svc.example"));
        QCOMPARE(config.servicePath, QStringLiteral("/zelt/svc"));
        QCOMPARE(config.getInactivityTime(), 600);
        QVERIFY(!config.getRestoreWindow());
    }

    void inactivityTimeIsClamped_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("seconds");
        QTest::newRow("too small") << QByteArray("5") << 30;
        QTest::newRow("lower bound") << QByteArray("30") << 30;
        QTest::newRow("upper bound") << QByteArray("3600") << 3600;
        QTest::newRow("too large") << QByteArray("7200") << 3600;
        QTest::newRow("zero") << QByteArray("0") << 30;
        QTest::newRow("negative") << QByteArray("-50") << 30;
        QTest::newRow("not a number") << QByteArray("soon") << 30;
    }
    void inactivityTimeIsClamped()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, seconds);
        const QString path =
            writeIni(QStringLiteral("idle.ini"), "[Zelt_Console]\ninactivitytime=" + value + "\n");
        QCOMPARE(load(path).getInactivityTime(), seconds);
    }

    void authIsOffOnlyForOff_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("off") << QByteArray("off") << false;
        QTest::newRow("Off") << QByteArray("Off") << false;
        QTest::newRow("OFF") << QByteArray("OFF") << false;
        QTest::newRow("no") << QByteArray("no") << true;
        QTest::newRow("0") << QByteArray("0") << true;
        QTest::newRow("false") << QByteArray("false") << true;
    }
    void authIsOffOnlyForOff()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, on);
        const QString path =
            writeIni(QStringLiteral("auth.ini"), "[Zelt_MeetingService]\nauth=" + value + "\n");
        QCOMPARE(load(path).meetingServiceAuth, on);
    }

    void authKeyCountsOnlyInMeetingServiceGroup()
    {
        const QString path = writeIni(QStringLiteral("auth-elsewhere.ini"),
                                      "[Zelt_AuthService]\nauth=off\n[Zelt_Service]\nauth=off\n");
        QVERIFY(load(path).meetingServiceAuth);
    }

    // Each row's host goes to all three services; a missing file is named alone.
    void configurationProblems_data()
    {
        QTest::addColumn<QString>("host");    // null: no ini file
        QTest::addColumn<QString>("problem"); // %1: the file or the group, %2: the host
        const QString notWeb = QStringLiteral("[%1] host \"%2\" is not an http or https URL.");
        QTest::newRow("missing file")
            << QString() << "The file %1 does not exist or cannot be read.";
        QTest::newRow("empty host") << ""
                                    << "[%1] host is empty.%2";
        QTest::newRow("no scheme") << "meet.example.com" << notWeb;
        QTest::newRow("ftp") << "ftp://meet.example.com" << notWeb;
        QTest::newRow("no host") << "https://" << notWeb;
        QTest::newRow("https") << "https://meet.example.com"
                               << "";
        QTest::newRow("http with port") << "http://127.0.0.1:8080/base"
                                        << "";
    }
    void configurationProblems()
    {
        QFETCH(QString, host);
        QFETCH(QString, problem);
        QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QStringList expected;
        if (host.isNull()) {
            expected << problem.arg(path);
        } else {
            QByteArray ini;
            for (const char *group : {"Zelt_MeetingService", "Zelt_AuthService", "Zelt_Service"}) {
                ini += "[" + QByteArray(group) + "]\nhost=" + host.toUtf8() + "\n";
                if (!problem.isEmpty())
                    expected << problem.arg(QLatin1String(group), host);
            }
            path = writeIni(QString::fromLatin1(QTest::currentDataTag()), ini);
        }
        QCOMPARE(load(path).problems(), expected);
    }

    void baseAddressRule_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("hostName");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("basePath");
        QTest::newRow("http without port") << "http://svc.example"
                                           << "/zelt/svc"
                                           << "http"
                                           << "svc.example" << 80 << "/zelt/svc";
        QTest::newRow("https without port") << "https://svc.example"
                                            << "/auth"
                                            << "https"
                                            << "svc.example" << 443 << "/auth";
        QTest::newRow("explicit port kept") << "https://svc.example:8443"
                                            << ""
                                            << "https"
                                            << "svc.example" << 8443 << "";
        QTest::newRow("url path comes first, no separator added")
            << "http://127.0.0.1:9000/base"
            << "meetings"
            << "http"
            << "127.0.0.1" << 9000 << "/basemeetings";
        QTest::newRow("scheme is lower-cased by the URL parser") << "HTTPS://svc.example"
                                                                 << "/x"
                                                                 << "https"
                                                                 << "svc.example" << 443 << "/x";
    }
    void baseAddressRule()
    {
        QFETCH(QString, host);
        QFETCH(QString, path);
        const ServiceAddress address = ServiceAddress::fromConfig(host, path);
        QTEST(address.scheme, "scheme");
        QTEST(address.host, "hostName");
        QTEST(address.port, "port");
        QTEST(address.basePath, "basePath");
    }
};

QTEST_GUILESS_MAIN(TestConsoleConfig)
#include "tst_consoleconfig.moc"
