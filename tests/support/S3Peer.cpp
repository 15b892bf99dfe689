#include "S3Peer.h"

#include "TestPaths.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>

namespace {
constexpr int startTimeoutMs = 30000;
}

S3Peer::S3Peer() = default;

S3Peer::~S3Peer()
{
    stop();
}

S3Peer *S3Peer::shared()
{
    static S3Peer *peer = [] {
        auto *started = new S3Peer;
        if (!started->start({QStringLiteral("vorel"), QStringLiteral("brennzelt")})) {
            qWarning("No shared s3rver: %s", qPrintable(started->errorString()));
            delete started;
            return static_cast<S3Peer *>(nullptr);
        }
        qputenv("AWS_ENDPOINT_URL_S3", started->endpoint().toUtf8());
        qAddPostRoutine([] { delete S3Peer::shared(); });
        return started;
    }();
    return peer;
}

bool S3Peer::start(const QStringList &buckets, quint16 port)
{
    stop();
    const QString s3rver = TestPaths::peersDir() + QStringLiteral("/node_modules/s3rver");
    if (!QFile::exists(s3rver)) {
        m_error = QStringLiteral("s3rver is not installed at %1 (run scripts/setup)").arg(s3rver);
        return false;
    }
    // s3rver with the multipart listings it lacks, on its own command line.
    const QString script = TestPaths::peersDir() + QStringLiteral("/s3-peer.js");
    QStringList arguments{script,
                          QStringLiteral("--directory"),
                          m_data.path(),
                          QStringLiteral("--address"),
                          QStringLiteral("127.0.0.1"),
                          QStringLiteral("--port"),
                          QString::number(port),
                          QStringLiteral("--no-vhost-buckets"),
                          QStringLiteral("--silent")};
    for (const QString &bucket : buckets)
        arguments << QStringLiteral("--configure-bucket") << bucket;

    m_process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("NODE_OPTIONS"), QStringLiteral("--openssl-legacy-provider"));
    m_process->setProcessEnvironment(environment);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->start(TestPaths::nodeProgram(), arguments);

    // s3rver prints "S3rver listening on 127.0.0.1:<port>" once it accepts connections.
    static const QRegularExpression listening(QStringLiteral("listening on [^:\\s]+:(\\d+)"));
    QByteArray output;
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired() && m_process->state() != QProcess::NotRunning) {
        m_process->waitForReadyRead(200);
        output += m_process->readAll();
        const QRegularExpressionMatch match = listening.match(QString::fromUtf8(output));
        if (match.hasMatch()) {
            m_port = static_cast<quint16>(match.captured(1).toUInt());
            return true;
        }
    }
    m_error = QStringLiteral("s3rver did not start: %1").arg(QString::fromUtf8(output));
    kill();
    return false;
}

void S3Peer::stop()
{
    if (!isRunning())
        return;
    m_process->terminate();
    if (!m_process->waitForFinished(10000))
        kill();
}

void S3Peer::kill()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    m_process->kill();
    m_process->waitForFinished(10000);
}

bool S3Peer::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

QString S3Peer::endpoint() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

bool S3Peer::createBucket(const QString &name)
{
    QNetworkAccessManager network;
    QNetworkReply *reply =
        network.put(QNetworkRequest(QUrl(endpoint() + QLatin1Char('/') + name)), QByteArray());
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const bool created = reply->error() == QNetworkReply::NoError;
    if (!created)
        m_error = reply->errorString();
    reply->deleteLater();
    return created;
}
