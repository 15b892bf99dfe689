// The benchmarks' network link: a FaultProxy with a rate and a round trip in front of a
// FileObjectServer delays every answer by the round trip and still hands over every byte in
// order, over several connections at once.
#include "FaultProxy.h"
#include "FileObjectServer.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

class tst_BenchLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void answersTakeTheRoundTrip();
    void severalConnectionsGetEveryByteInOrder();

private:
    QByteArray m_content;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FileObjectServer> m_server;
    std::unique_ptr<FaultProxy> m_link;
    QNetworkAccessManager m_network;
};

void tst_BenchLink::init()
{
    // Larger than a connection's window, so that the window fills.
    m_content.resize(16 * 1024 * 1024);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(m_content.data()),
                                          m_content.size() / 4);
    m_dir = std::make_unique<QTemporaryDir>();
    QFile file(m_dir->filePath(QStringLiteral("object.bin")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(m_content) == m_content.size());
    file.close();
    m_server = std::make_unique<FileObjectServer>(file.fileName());
    QVERIFY(m_server->start());
    m_link = std::make_unique<FaultProxy>(quint16(QUrl(m_server->url()).port()));
    QVERIFY(m_link->start());
    m_network.clearConnectionCache();
}

void tst_BenchLink::answersTakeTheRoundTrip()
{
    m_link->setRoundTrip(200ms);
    QNetworkRequest request(QUrl(m_link->url() + QStringLiteral("/b/object.bin")));
    request.setRawHeader("Range", "bytes=0-9");
    // The first request also waits for the connection's handshake; the second reuses it.
    for (const qint64 earliestMs : {400, 200}) {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<QNetworkReply> reply(m_network.get(request));
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 10000);
        QCOMPARE(reply->readAll(), m_content.left(10));
        QVERIFY2(timer.elapsed() >= earliestMs, QByteArray::number(timer.elapsed()));
    }
}

void tst_BenchLink::severalConnectionsGetEveryByteInOrder()
{
    m_link->limitRate(400 * 1000 * 1000);
    m_link->setRoundTrip(20ms);
    const QNetworkRequest request(QUrl(m_link->url() + QStringLiteral("/b/object.bin")));
    std::vector<std::unique_ptr<QNetworkReply>> replies;
    for (int i = 0; i < 4; ++i)
        replies.emplace_back(m_network.get(request));
    for (const auto &reply : replies) {
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 60000);
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QVERIFY(reply->readAll() == m_content);
    }
}

QTEST_GUILESS_MAIN(tst_BenchLink)
#include "tst_benchlink.moc"
