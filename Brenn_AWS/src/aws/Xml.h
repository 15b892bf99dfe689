#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace Brenn_AWS::aws {

// A small read-only element tree for AWS replies: local names only (namespaces are ignored),
// text of leaf elements kept as it stands.
struct XmlElement
{
    QString name;
    QString text;
    QList<XmlElement> children;

    const XmlElement *child(const QString &childName) const;
    QList<const XmlElement *> childrenNamed(const QString &childName) const;
    // The child's text, or an empty text when there is no such child.
    QString childText(const QString &childName) const;
};

// The document's root element, or nothing when the bytes are not well-formed XML.
std::optional<XmlElement> parseXml(const QByteArray &document, QString *errorText = nullptr);

} // namespace Brenn_AWS::aws
