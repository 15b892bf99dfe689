#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// An s3rver process on 127.0.0.1 for tests that need a real S3 peer, started through
// tests/peers/s3-peer.js, which adds ListParts, ListMultipartUploads and AbortMultipartUpload.
// It keeps its objects in a private temporary folder that outlives a stop, so a test can kill
// the server in the middle of a transfer and start it again, on the same port, with the same
// objects.
//
//     S3Peer peer;
//     QVERIFY2(peer.start({"media"}), qPrintable(peer.errorString()));
//     Storage_S3 storage(Brenn_AWS::MinIO, peer.endpoint(), "key", "secret", "");
//
// s3rver accepts any credentials and does not check signatures.
class S3Peer
{
public:
    S3Peer();
    ~S3Peer(); // stops the server

    // Starts s3rver with the given buckets, on a free port (or on `port`), and waits until it
    // listens. False, with errorString(), when it cannot be started.
    bool start(const QStringList &buckets = {}, quint16 port = 0);
    // Asks the server to end (SIGTERM to its process id) and waits for it.
    void stop();
    // Ends it at once (SIGKILL), as a crash would, e.g. in the middle of a transfer.
    void kill();
    bool isRunning() const;

    // One server for the whole test program, with the buckets the platform stand-in hands out
    // ("vorel" for MinIO accounts, "brennzelt" for Amazon S3 ones, which reach it through
    // AWS_ENDPOINT_URL_S3). Started on first use, stopped when the application ends; null, with
    // a warning, when it cannot be started.
    static S3Peer *shared();

    // A bucket made while the server runs.
    bool createBucket(const QString &name);

    quint16 port() const { return m_port; }
    QString endpoint() const; // "http://127.0.0.1:<port>"
    QString dataDir() const { return m_data.path(); }
    QString errorString() const { return m_error; }

private:
    QTemporaryDir m_data;
    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
    QString m_error;
};
