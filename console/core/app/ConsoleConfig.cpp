#include "ConsoleConfig.h"

#include "LogCategories.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

ConsoleConfig::ConsoleConfig(const QStringList &arguments)
{
    parseCommandLine(arguments);
    readIniFile();
    echo();
}

int ConsoleConfig::clampInactivityTime(int seconds)
{
    return qBound(MinInactivityTime, seconds, MaxInactivityTime);
}

int ConsoleConfig::clampTimeout(int seconds)
{
    return qBound(MinTimeout, seconds, MaxTimeout);
}

bool ConsoleConfig::authSwitchedOn(const QString &value)
{
    return value.compare(QLatin1String("off"), Qt::CaseInsensitive) != 0;
}

QStringList ConsoleConfig::problems() const
{
    const QFileInfo file(iniFile);
    // Without the file every host is empty; naming the file says all there is to say.
    if (!file.isFile() || !file.isReadable())
        return {QCoreApplication::translate("ConsoleConfig",
                                            "The file %1 does not exist or cannot be read.")
                    .arg(iniFile)};

    QStringList found;
    const auto check = [&found](const char *group, const QString &host) {
        const QUrl url(host, QUrl::StrictMode);
        const bool web =
            url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
        if (host.isEmpty())
            found << QCoreApplication::translate("ConsoleConfig", "[%1] host is empty.")
                         .arg(QLatin1String(group));
        else if (!url.isValid() || !web || url.host().isEmpty())
            found << QCoreApplication::translate("ConsoleConfig",
                                                 "[%1] host \"%2\" is not an http or https URL.")
                         .arg(QLatin1String(group), host);
    };
    check("Zelt_MeetingService", meetingServiceHost);
    check("Zelt_AuthService", authServiceHost);
    check("Zelt_Service", serviceHost);
    return found;
}

void ConsoleConfig::parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption iniOption(
        QStringList{QStringLiteral("i")},
        QCoreApplication::translate("ConsoleConfig", "Path to the INI File"),
        QCoreApplication::translate("ConsoleConfig", "ini file"), QString());
    parser.addOption(iniOption);
    // process() prints help or the parser's error and ends the program, as Qt does.
    parser.process(arguments);

    iniFile = parser.value(iniOption);
    if (iniFile.isEmpty())
        iniFile = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                  QCoreApplication::applicationName() + QLatin1String(".ini");
}

void ConsoleConfig::readIniFile()
{
    // Parented to the application, so it lives as long as the program.
    auto *settings = new QSettings(iniFile, QSettings::IniFormat, QCoreApplication::instance());

    settings->beginGroup(QStringLiteral("Zelt_MeetingService"));
    meetingServiceHost = settings->value(QStringLiteral("host")).toString();
    meetingServicePath = settings->value(QStringLiteral("path")).toString();
    meetingServiceAuth =
        authSwitchedOn(settings->value(QStringLiteral("auth"), QStringLiteral("on")).toString());
    settings->endGroup();

    settings->beginGroup(QStringLiteral("Zelt_AuthService"));
    authServiceHost = settings->value(QStringLiteral("host")).toString();
    authServicePath = settings->value(QStringLiteral("path")).toString();
    settings->endGroup();

    settings->beginGroup(QStringLiteral("Zelt_Service"));
    serviceHost = settings->value(QStringLiteral("host")).toString();
    servicePath = settings->value(QStringLiteral("path")).toString();
    settings->endGroup();

    settings->beginGroup(QStringLiteral("Zelt_Console"));
    // A non-numeric value reads as 0 and is clamped up like any other too-small value.
    inactivityTime = clampInactivityTime(
        settings->value(QStringLiteral("inactivitytime"), DefaultInactivityTime).toInt());
    restoreWindow = settings->value(QStringLiteral("restorewindow"), true).toBool();
    connectTimeout = clampTimeout(
        settings->value(QStringLiteral("connecttimeout"), DefaultConnectTimeout).toInt());
    replyTimeout =
        clampTimeout(settings->value(QStringLiteral("replytimeout"), DefaultReplyTimeout).toInt());
    transferConcurrency = qBound(
        MinTransferConcurrency,
        settings->value(QStringLiteral("transferconcurrency"), DefaultTransferConcurrency).toInt(),
        MaxTransferConcurrency);
    attendanceDays =
        qBound(1, settings->value(QStringLiteral("attendancedays"), DefaultAttendanceDays).toInt(),
               MaxAttendanceDays);
    settings->endGroup();
}

void ConsoleConfig::echo() const
{
    const auto group = [](const char *name, const QString &host, const QString &path) {
        qCDebug(lcSrv).noquote() << name;
        qCDebug(lcSrv).noquote() << QStringLiteral("  Host: ") + host;
        qCDebug(lcSrv).noquote() << QStringLiteral("  Path: ") + path;
    };
    group("Zelt_MeetingService", meetingServiceHost, meetingServicePath);
    group("Zelt_AuthService", authServiceHost, authServicePath);
    group("Zelt_Service", serviceHost, servicePath);
    qCDebug(lcSrv).noquote() << "Zelt_Console";
    qCDebug(lcSrv).noquote() << QStringLiteral("  Inactivity Time: %1").arg(inactivityTime);
    qCDebug(lcSrv).noquote() << QStringLiteral("  Restore Window: %1")
                                    .arg(restoreWindow ? QStringLiteral("true")
                                                       : QStringLiteral("false"));
    qCDebug(lcSrv).noquote() << QStringLiteral("  Connect Timeout: %1").arg(connectTimeout);
    qCDebug(lcSrv).noquote() << QStringLiteral("  Reply Timeout: %1").arg(replyTimeout);
    qCDebug(lcSrv).noquote()
        << QStringLiteral("  Transfer Concurrency: %1").arg(transferConcurrency);
}
