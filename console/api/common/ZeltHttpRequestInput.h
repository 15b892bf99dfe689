#pragma once

#include "ZeltHttpFileElement.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace Zelt_Common_API {

// How the variables of a request travel: in the URL, as a form body or as a multipart body.
enum ZeltHttpRequestVarLayout
{
    NOT_SET = 0,
    ADDRESS = 1,
    URL_ENCODED = 2,
    MULTIPART = 3
};

// Everything one request sends; filled by a client, consumed by ZeltHttpRequestWorker::execute.
class ZeltHttpRequestInput
{
public:
    QString url_str;
    QString http_method = QStringLiteral("GET");
    ZeltHttpRequestVarLayout var_layout = NOT_SET;
    QMap<QString, QString> vars;
    QMap<QString, QString> headers;
    QList<ZeltHttpFileElement> files;
    QByteArray request_body;

    ZeltHttpRequestInput() = default;
    ZeltHttpRequestInput(const QString &url, const QString &method);

    // One value per name: a later value replaces an earlier one.
    void add_var(const QString &key, const QString &value);
    void add_file(const QString &variableName, const QString &localFilename,
                  const QString &requestFilename, const QString &mimeType);
};

} // namespace Zelt_Common_API
