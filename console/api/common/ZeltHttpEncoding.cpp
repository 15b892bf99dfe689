#include "ZeltHttpEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace Zelt_Common_API {

namespace {

const QByteArray crlf = QByteArrayLiteral("\r\n");

bool isAsciiAlphanumeric(char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9');
}

bool needsExtendedForm(unsigned char byte)
{
    return byte < 32 || byte == '/' || byte == '\\' || byte >= 127;
}

QByteArray variablePart(const QByteArray &boundary, const QString &name, const QString &value)
{
    return "--" + boundary + crlf + "Content-Disposition: form-data; " +
           zeltEncodedAttribute(QStringLiteral("name"), name) + crlf + "Content-Type: text/plain" +
           crlf + crlf + value.toUtf8() + crlf;
}

bool isReadableFile(const ZeltHttpFileElement &file)
{
    if (file.local_filename.isEmpty() || file.variable_name.isEmpty())
        return false;
    const QFileInfo info(file.local_filename);
    return info.exists() && info.isFile() && info.isReadable();
}

QByteArray filePart(const QByteArray &boundary, const ZeltHttpFileElement &file,
                    const QByteArray &bytes)
{
    QByteArray part = "--" + boundary + crlf + "Content-Disposition: form-data; " +
                      zeltEncodedAttribute(QStringLiteral("name"), file.variable_name) + "; " +
                      zeltEncodedAttribute(QStringLiteral("filename"), file.request_filename) +
                      crlf;
    if (!file.mime_type.isEmpty())
        part += "Content-Type: " + file.mime_type.toUtf8() + crlf;
    return part + "Content-Transfer-Encoding: binary" + crlf + crlf + bytes + crlf;
}

} // namespace

QByteArray zeltPercentEncode(const QString &text)
{
    return QUrl::toPercentEncoding(text);
}

QByteArray zeltFormContent(const QMap<QString, QString> &vars)
{
    QByteArrayList pairs;
    for (auto it = vars.cbegin(); it != vars.cend(); ++it)
        pairs.append(zeltPercentEncode(it.key()) + '=' + zeltPercentEncode(it.value()));
    return pairs.join('&');
}

QString zeltAppendQuery(const QString &url, const QString &query)
{
    return url + (url.indexOf(QLatin1Char('?')) > 0 ? QLatin1Char('&') : QLatin1Char('?')) + query;
}

QByteArray zeltEncodedAttribute(const QString &name, const QString &value)
{
    // The RFC 5987 form is labelled utf-8, so the bytes are taken as UTF-8.
    const QByteArray bytes = value.toUtf8();
    QByteArray plain;
    bool extended = false;
    for (const char byte : bytes) {
        if (needsExtendedForm(static_cast<unsigned char>(byte)))
            extended = true;
        else if (byte == '"')
            plain += "\\\"";
        else
            plain += byte;
    }
    const QByteArray quoted = name.toUtf8() + "=\"" + plain + '"';
    if (!plain.isEmpty() && !extended)
        return quoted;

    QByteArray escaped;
    for (const char byte : bytes) {
        if (isAsciiAlphanumeric(byte))
            escaped += byte;
        else
            escaped += '%' + QByteArray::number(static_cast<unsigned char>(byte), 16)
                                 .toUpper()
                                 .rightJustified(2, '0');
    }
    return quoted + "; " + name.toUtf8() + "*=utf-8''" + escaped;
}

QByteArray zeltMultipartContent(const QMap<QString, QString> &vars,
                                QList<ZeltHttpFileElement> &files, const QByteArray &boundary)
{
    QByteArray content;
    for (auto it = vars.cbegin(); it != vars.cend(); ++it)
        content += variablePart(boundary, it.key(), it.value());

    for (ZeltHttpFileElement &file : files) {
        if (!isReadableFile(file))
            continue;
        QFile source(file.local_filename);
        if (!source.open(QIODevice::ReadOnly))
            continue;
        if (file.request_filename.isEmpty()) {
            file.request_filename = QFileInfo(file.local_filename).fileName();
            if (file.request_filename.isEmpty())
                file.request_filename = QStringLiteral("file");
        }
        content += filePart(boundary, file, source.readAll());
    }
    return content + "--" + boundary + "--";
}

} // namespace Zelt_Common_API
