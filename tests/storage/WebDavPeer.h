#pragma once

#include "TestPaths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

#include <memory>

// webdav-server on 127.0.0.1 as a user's Nextcloud (tests/peers/webdav-peer.js, as the demo
// runs it): root served under /remote.php/dav/files/<user>, basic authentication.
class WebDavPeer
{
public:
    ~WebDavPeer() { stop(); }

    bool start(const QString &root, const QString &user, const QString &password)
    {
        const QString script = TestPaths::peersDir() + QStringLiteral("/webdav-peer.js");
        if (!QFile::exists(TestPaths::peersDir() + QStringLiteral("/node_modules/webdav-server"))) {
            error = QStringLiteral("webdav-server is not installed (run scripts/setup)");
            return false;
        }
        process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(TestPaths::nodeProgram(),
                       {script, QStringLiteral("--root"), root, QStringLiteral("--user"), user,
                        QStringLiteral("--password"), password});
        static const QRegularExpression listening(
            QStringLiteral("WebDAV listening on 127\\.0\\.0\\.1:(\\d+)"));
        QByteArray output;
        const QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired() && process->state() != QProcess::NotRunning) {
            process->waitForReadyRead(200);
            output += process->readAll();
            const auto match = listening.match(QString::fromUtf8(output));
            if (match.hasMatch()) {
                port = match.captured(1).toUShort();
                return true;
            }
        }
        error = QStringLiteral("webdav-server did not start: %1").arg(QString::fromUtf8(output));
        stop();
        return false;
    }

    void stop()
    {
        if (!process || process->state() == QProcess::NotRunning)
            return;
        process->terminate();
        if (!process->waitForFinished(10000)) {
            process->kill();
            process->waitForFinished(10000);
        }
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }
    QString errorString() const { return error; }

private:
    std::unique_ptr<QProcess> process;
    quint16 port = 0;
    QString error;
};
