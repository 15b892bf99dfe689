#pragma once

#include "ZeltHttpFileElement.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// The byte-level encodings of requests: percent-encoding, form bodies, multipart bodies.
namespace Zelt_Common_API {

// Leaves ASCII letters, digits and "-", ".", "_", "~" as they are; every other UTF-8 byte
// becomes "%XX" with uppercase hexadecimal digits.
QByteArray zeltPercentEncode(const QString &text);

// The pairs name=value, percent-encoded, joined by "&" in ascending name order.
QByteArray zeltFormContent(const QMap<QString, QString> &vars);

// Appends one query part after "?", or after "&" when the URL already has a query.
QString zeltAppendQuery(const QString &url, const QString &query);

// A multipart header attribute: name="value", followed by the RFC 5987 form name*=utf-8''...
// when the value holds bytes that cannot stand in quotes (or is empty).
QByteArray zeltEncodedAttribute(const QString &name, const QString &value);

// A multipart/form-data body: the variables in ascending name order, then the files in list
// order. Files that cannot be read are left out; a file without a request file name is announced
// under its local file name (or "file").
QByteArray zeltMultipartContent(const QMap<QString, QString> &vars,
                                QList<ZeltHttpFileElement> &files, const QByteArray &boundary);

} // namespace Zelt_Common_API
