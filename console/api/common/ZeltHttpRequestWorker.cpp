#include "ZeltHttpRequestWorker.h"

#include "LogCategories.h"
#include "ZeltHttpEncoding.h"
#include "ZeltRequestPool.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QUuid>

namespace Zelt_Common_API {

namespace {

const QByteArray userAgent = QByteArrayLiteral("OpenAPI-Generator/1.0.0/cpp-qt5");

QString firstPart(const QString &headerValue)
{
    return headerValue.split(QLatin1Char(';'), Qt::SkipEmptyParts).value(0);
}

// "identity" alone may pass; the worker has no decoder for gzip or deflate.
bool isIdentityEncoding(const QString &contentEncoding)
{
    bool identity = false;
    bool compressed = false;
    const QStringList codings =
        firstPart(contentEncoding).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &coding : codings) {
        const QString name = coding.trimmed();
        identity |= name.compare(QLatin1String("identity"), Qt::CaseInsensitive) == 0;
        compressed |= name.compare(QLatin1String("gzip"), Qt::CaseInsensitive) == 0 ||
                      name.compare(QLatin1String("deflate"), Qt::CaseInsensitive) == 0;
    }
    return identity && !compressed;
}

// The name a peer announces may carry quotes and a path: only its last segment is used, so an
// attachment can never land outside the working directory.
QString safeFileName(QString announced)
{
    announced = announced.trimmed();
    if (announced.size() >= 2 && announced.startsWith(QLatin1Char('"')) &&
        announced.endsWith(QLatin1Char('"')))
        announced = announced.mid(1, announced.size() - 2);
    const QString name =
        announced.replace(QLatin1Char('\\'), QLatin1Char('/')).section(QLatin1Char('/'), -1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QUuid::createUuid().toString();
    return name;
}

QString attachmentFileName(const QStringList &dispositionParts)
{
    for (const QString &part : dispositionParts) {
        if (!part.contains(QLatin1String("filename")))
            continue;
        const QStringList pieces = part.split(QLatin1Char('='), Qt::SkipEmptyParts);
        return safeFileName(pieces.size() > 1 ? pieces.at(1) : QString());
    }
    return QUuid::createUuid().toString();
}

} // namespace

ZeltHttpRequestWorker::ZeltHttpRequestWorker(QObject *parent)
    : QObject(parent), m_workingDirectory(QDir::currentPath()), m_timeOutTimer(new QTimer(this)),
      m_stallTimer(new QTimer(this))
{
    m_timeOutTimer->setSingleShot(true);
    m_stallTimer->setSingleShot(true);
    connect(m_timeOutTimer, &QTimer::timeout, this,
            [this] { failAsTimedOut(QStringLiteral("Timed out waiting for response")); });
    connect(m_stallTimer, &QTimer::timeout, this, [this] {
        const ZeltRequestTimeouts limits = ZeltRequestPool::timeouts();
        failAsTimedOut(m_connecting ? tr("No connection within %1 s").arg(limits.connectMs / 1000.0)
                                    : tr("No answer within %1 s").arg(limits.replyMs / 1000.0));
    });
}

ZeltHttpRequestWorker::~ZeltHttpRequestWorker()
{
    dropReply();
    // After the application is gone there is no pool left to give the place back to.
    if (QCoreApplication::instance())
        ZeltRequestPool::instance().release(this);
}

QMap<QString, QString> ZeltHttpRequestWorker::responseHeaders() const
{
    return m_headers;
}

QMap<QString, ZeltHttpFileElement> ZeltHttpRequestWorker::receivedFiles() const
{
    return m_files;
}

QString ZeltHttpRequestWorker::workingDirectory() const
{
    return m_workingDirectory;
}

void ZeltHttpRequestWorker::setTimeOut(int timeOutMs)
{
    m_timeOutMs = timeOutMs;
}

void ZeltHttpRequestWorker::setWorkingDirectory(const QString &path)
{
    if (!path.isEmpty())
        m_workingDirectory = path;
}

void ZeltHttpRequestWorker::execute(ZeltHttpRequestInput *input)
{
    response.clear();
    error_type = QNetworkReply::NoError;
    error_str.clear();
    m_headers.clear();
    m_files.clear();

    if (!input->files.isEmpty())
        input->var_layout = MULTIPART;
    if (input->var_layout == NOT_SET) {
        const bool addressMethod = input->http_method == QLatin1String("GET") ||
                                   input->http_method == QLatin1String("HEAD");
        input->var_layout = addressMethod ? ADDRESS : URL_ENCODED;
    }

    QByteArray content;
    bool formData = false;
    QByteArray boundary;
    if (input->var_layout == ADDRESS || input->var_layout == URL_ENCODED) {
        if (!input->vars.isEmpty()) {
            content = zeltFormContent(input->vars);
            formData = true;
        }
        if (input->var_layout == ADDRESS && formData) {
            input->url_str = zeltAppendQuery(input->url_str, QString::fromLatin1(content));
            content.clear();
        }
    } else if (input->var_layout == MULTIPART) {
        boundary = "__-----------------------" +
                   QByteArray::number(QDateTime::currentSecsSinceEpoch()) +
                   QByteArray::number(QRandomGenerator::global()->bounded(RAND_MAX));
        content = zeltMultipartContent(input->vars, input->files, boundary);
    }

    if (!input->request_body.isEmpty()) {
        qCDebug(lcSrv) << "got a request body";
        content = input->request_body;
        formData = false;
    }

    QNetworkRequest request(QUrl(input->url_str, QUrl::TolerantMode));
    request.setRawHeader("User-Agent", userAgent);
    for (auto it = input->headers.cbegin(); it != input->headers.cend(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());

    if (content.isEmpty() || formData || input->var_layout == MULTIPART) {
        if (input->var_layout == URL_ENCODED)
            request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
        else if (input->var_layout == MULTIPART)
            request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary);
    } else {
        const auto contentType = input->headers.constFind(QStringLiteral("Content-Type"));
        request.setRawHeader("Content-Type", contentType != input->headers.cend()
                                                 ? contentType.value().toUtf8()
                                                 : QByteArray("application/json"));
    }
    // Replies must come uncompressed: there is no decoder for them.
    request.setRawHeader("Accept-Encoding", "identity");

    m_request = request;
    m_method = input->http_method;
    m_content = content;
    m_outstanding = true;
    ZeltRequestPool::instance().submit(this);
}

void ZeltHttpRequestWorker::dispatch()
{
    QNetworkAccessManager *manager = ZeltRequestPool::instance().manager();
    if (m_method == QLatin1String("GET"))
        m_reply = manager->get(m_request);
    else if (m_method == QLatin1String("POST"))
        m_reply = manager->post(m_request, m_content);
    else if (m_method == QLatin1String("PUT"))
        m_reply = manager->put(m_request, m_content);
    else if (m_method == QLatin1String("HEAD"))
        m_reply = manager->head(m_request);
    else if (m_method == QLatin1String("DELETE"))
        m_reply = manager->deleteResource(m_request);
    else
        m_reply = manager->sendCustomRequest(m_request, m_method.toLatin1(), m_content);
    m_content.clear();

    connect(m_reply, &QNetworkReply::finished, this, &ZeltHttpRequestWorker::onReplyFinished);
    watchProgress();
    if (m_timeOutMs > 0)
        m_timeOutTimer->start(m_timeOutMs);
}

void ZeltHttpRequestWorker::watchProgress()
{
    m_connecting = true;
    m_stallTimer->start(ZeltRequestPool::timeouts().connectMs);
    // Once the request is out, each sign of life gives the reply another full time-out.
    connect(m_reply, &QNetworkReply::requestSent, this, &ZeltHttpRequestWorker::awaitReply);
    connect(m_reply, &QNetworkReply::uploadProgress, this, &ZeltHttpRequestWorker::awaitReply);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &ZeltHttpRequestWorker::awaitReply);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &ZeltHttpRequestWorker::awaitReply);
}

void ZeltHttpRequestWorker::awaitReply()
{
    m_connecting = false;
    m_stallTimer->start(ZeltRequestPool::timeouts().replyMs);
}

void ZeltHttpRequestWorker::onReplyFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    error_type = reply->error();
    error_str = reply->errorString();
    readReply(reply->rawHeaderPairs(), reply->readAll());
    reply->deleteLater();
    finish();
}

void ZeltHttpRequestWorker::failAsTimedOut(const QString &text)
{
    dropReply();
    error_type = QNetworkReply::TimeoutError;
    response.clear();
    error_str = text;
    finish();
}

void ZeltHttpRequestWorker::dropReply()
{
    if (!m_reply)
        return;
    // An aborted reply reports finished at once; that report is not the answer.
    m_reply->disconnect(this);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
}

void ZeltHttpRequestWorker::finish()
{
    m_timeOutTimer->stop();
    m_stallTimer->stop();
    m_outstanding = false;
    ZeltRequestPool::instance().release(this);
    emit on_execution_finished(this);
}

void ZeltHttpRequestWorker::readReply(const QList<QNetworkReply::RawHeaderPair> &headers,
                                      const QByteArray &body)
{
    for (const QNetworkReply::RawHeaderPair &pair : headers)
        m_headers.insert(QString::fromUtf8(pair.first), QString::fromUtf8(pair.second));
    readBody(body);
}

std::optional<QString> ZeltHttpRequestWorker::receivedHeader(const QString &name) const
{
    for (auto it = m_headers.cbegin(); it != m_headers.cend(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return std::nullopt;
}

void ZeltHttpRequestWorker::readBody(const QByteArray &body)
{
    if (const auto disposition = receivedHeader(QStringLiteral("Content-Disposition"))) {
        saveAttachment(*disposition, body);
        return;
    }
    const auto contentType = receivedHeader(QStringLiteral("Content-Type"));
    if (!contentType || firstPart(*contentType) == QLatin1String("multipart/form-data"))
        return;
    const auto contentEncoding = receivedHeader(QStringLiteral("Content-Encoding"));
    if (!contentEncoding || isIdentityEncoding(*contentEncoding))
        response = body;
}

void ZeltHttpRequestWorker::saveAttachment(const QString &disposition, const QByteArray &body)
{
    const QStringList parts = disposition.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (parts.value(0) != QLatin1String("attachment"))
        return;
    const QString fileName = attachmentFileName(parts);
    const auto contentType = receivedHeader(QStringLiteral("Content-Type"));
    ZeltHttpFileElement file;
    file.saveToFile(QString(), m_workingDirectory + QDir::separator() + fileName, fileName,
                    contentType ? firstPart(*contentType) : QString(), body);
    m_files.insert(fileName, file);
}

} // namespace Zelt_Common_API
