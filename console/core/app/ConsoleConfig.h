#pragma once

#include <QString>
#include <QStringList>

// The console's configuration: read once at start from the command line and the ini file.
class ConsoleConfig
{
public:
    static constexpr int DefaultInactivityTime = 180;
    static constexpr int MinInactivityTime = 30;
    static constexpr int MaxInactivityTime = 3600;
    // Seconds to wait for a connection, and for the next bytes of a reply, before a request
    // fails as timed out.
    static constexpr int DefaultConnectTimeout = 10;
    static constexpr int DefaultReplyTimeout = 30;
    static constexpr int MinTimeout = 1;
    static constexpr int MaxTimeout = 600;
    // Parts or ranges of one S3 transfer in flight at once.
    static constexpr int DefaultTransferConcurrency = 4;
    static constexpr int MinTransferConcurrency = 1;
    static constexpr int MaxTransferConcurrency = 16;
    // Days the attendance records are kept.
    static constexpr int DefaultAttendanceDays = 90;
    static constexpr int MaxAttendanceDays = 3650;

    explicit ConsoleConfig(const QStringList &arguments);

    int getInactivityTime() const { return inactivityTime; }
    bool getRestoreWindow() const { return restoreWindow; }

    // Clamps a configured idle time into the allowed range.
    static int clampInactivityTime(int seconds);
    // Clamps a configured time-out into the allowed range.
    static int clampTimeout(int seconds);
    // True unless the value is some capitalisation of "off".
    static bool authSwitchedOn(const QString &value);

    // What keeps the services from being reached, one readable text each: the ini file missing
    // or unreadable, a service host that is empty or no http(s) URL with a host. Empty when fine.
    QStringList problems() const;

    QString meetingServiceHost;
    QString meetingServicePath;
    bool meetingServiceAuth = true;
    QString authServiceHost;
    QString authServicePath;
    QString serviceHost;
    QString servicePath;
    int inactivityTime = DefaultInactivityTime;
    bool restoreWindow = true;
    int connectTimeout = DefaultConnectTimeout;
    int replyTimeout = DefaultReplyTimeout;
    int transferConcurrency = DefaultTransferConcurrency;
    int attendanceDays = DefaultAttendanceDays;
    QString iniFile;

private:
    void parseCommandLine(const QStringList &arguments);
    void readIniFile();
    void echo() const;
};
