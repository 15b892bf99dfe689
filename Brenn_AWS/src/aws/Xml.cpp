#include "Xml.h"

#include <QXmlStreamReader>

namespace Brenn_AWS::aws {

const XmlElement *XmlElement::child(const QString &childName) const
{
    for (const XmlElement &element : children) {
        if (element.name == childName)
            return &element;
    }
    return nullptr;
}

QList<const XmlElement *> XmlElement::childrenNamed(const QString &childName) const
{
    QList<const XmlElement *> found;
    for (const XmlElement &element : children) {
        if (element.name == childName)
            found.append(&element);
    }
    return found;
}

QString XmlElement::childText(const QString &childName) const
{
    const XmlElement *element = child(childName);
    return element ? element->text : QString();
}

std::optional<XmlElement> parseXml(const QByteArray &document, QString *errorText)
{
    QXmlStreamReader reader(document);
    QList<XmlElement> open;
    std::optional<XmlElement> root;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            open.append(XmlElement{reader.name().toString(), {}, {}});
            break;
        case QXmlStreamReader::Characters:
            if (!open.isEmpty())
                open.last().text += reader.text();
            break;
        case QXmlStreamReader::EndElement: {
            XmlElement done = open.takeLast();
            if (open.isEmpty())
                root = std::move(done);
            else
                open.last().children.append(std::move(done));
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError() || !root) {
        if (errorText)
            *errorText =
                reader.hasError() ? reader.errorString() : QStringLiteral("empty document");
        return std::nullopt;
    }
    return root;
}

} // namespace Brenn_AWS::aws
