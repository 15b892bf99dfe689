#include "VersionNumber.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Runs the real program the way a user starts it.
class TestStartup : public QObject
{
    Q_OBJECT

private:
    static QProcessEnvironment offscreen()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

private slots:
    void helpPrintsOptionsAndEnds()
    {
        QProcess program;
        program.setProcessEnvironment(offscreen());
        program.start(QStringLiteral(CONSOLE_PROGRAM), {QStringLiteral("--help")});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        const QString help = QString::fromUtf8(program.readAllStandardOutput());
        QVERIFY2(help.contains(QStringLiteral("-i <ini file>")), qPrintable(help));
        QVERIFY(help.contains(QStringLiteral("Path to the INI File")));
        QVERIFY(help.contains(QStringLiteral("--version")));
    }

    void versionOptionPrintsTheConsoleVersion_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("long") << QStringLiteral("--version");
        QTest::newRow("short") << QStringLiteral("-v");
    }

    void versionOptionPrintsTheConsoleVersion()
    {
        QFETCH(QString, option);
        QProcess program;
        program.setProcessEnvironment(offscreen());
        program.start(QStringLiteral(CONSOLE_PROGRAM), {option});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(),
                 QStringLiteral("Zelt_ConsoleApp ") + ConsoleVersion::current().dotted());
    }

    void unknownOptionIsRefusedByTheParser()
    {
        QProcess program;
        program.setProcessEnvironment(offscreen());
        program.start(QStringLiteral(CONSOLE_PROGRAM), {QStringLiteral("--bogus")});
        QVERIFY(program.waitForFinished(30000));
        QVERIFY(program.exitCode() != 0);
        QVERIFY(program.readAllStandardError().contains("Unknown option 'bogus'"));
    }

    void missingOptionValueIsRefused()
    {
        QProcess program;
        program.setProcessEnvironment(offscreen());
        program.start(QStringLiteral(CONSOLE_PROGRAM), {QStringLiteral("-i")});
        QVERIFY(program.waitForFinished(30000));
        QVERIFY(program.exitCode() != 0);
        QVERIFY(program.readAllStandardError().contains("Missing value after '-i'"));
    }

    void iniFileIsEchoedInTheServiceCategory()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("console.ini"));
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Zelt_MeetingService]\nhost=http://127.0.0.1:1\npath=/meetings\n"
                   "[Zelt_Console]\ninactivitytime=9999\nrestorewindow=false\n");
        file.close();

        QProcess program;
        QProcessEnvironment env = offscreen();
        env.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{category}|%{message}"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(CONSOLE_PROGRAM), {QStringLiteral("-i"), ini});
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += program.readAllStandardError()).contains("Restore Window"),
                                 30000);
        program.kill();
        program.waitForFinished();

        const QStringList expected{"SRV   |Zelt_MeetingService",
                                   "SRV   |  Host: http://127.0.0.1:1",
                                   "SRV   |  Path: /meetings",
                                   "SRV   |Zelt_AuthService",
                                   "SRV   |  Host: ",
                                   "SRV   |  Path: ",
                                   "SRV   |Zelt_Service",
                                   "SRV   |  Host: ",
                                   "SRV   |  Path: ",
                                   "SRV   |Zelt_Console",
                                   "SRV   |  Inactivity Time: 3600",
                                   "SRV   |  Restore Window: false"};
        QStringList lines;
        for (const QString &line : QString::fromUtf8(err).split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("SRV   |")))
                lines << line;
        // Other components may log in the same category later; the echo comes first.
        QCOMPARE(lines.mid(0, expected.size()), expected);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
