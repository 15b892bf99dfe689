#include "PropfindReply.h"

#include "LogCategories.h"

#include <QFile>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

void setPath(NextCloudNode &node, const QString &href)
{
    node.path = QUrl::fromPercentEncoding(href.trimmed().toUtf8());
    node.parts = node.path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

// Element names are matched without their prefix: Nextcloud writes "d:", webdav-server "D:".
class ReplyReader
{
public:
    explicit ReplyReader(QIODevice &device) : xml(&device) {}

    std::optional<QList<NextCloudNode>> read()
    {
        while (!xml.atEnd()) {
            switch (xml.readNext()) {
            case QXmlStreamReader::StartElement:
                startElement();
                break;
            case QXmlStreamReader::EndElement:
                if (inResponse && xml.name() == u"response") {
                    nodes.append(node);
                    inResponse = false;
                }
                break;
            default:
                break;
            }
        }
        if (xml.hasError()) {
            qCCritical(lcNcl).noquote()
                << QStringLiteral("Cloud Error = %1").arg(int(xml.error())) << xml.errorString();
            return std::nullopt;
        }
        if (errorDocument) {
            for (const QString &text : errorTexts)
                qCCritical(lcNcl).noquote() << text;
            return std::nullopt;
        }
        if (root != u"multistatus") {
            qCCritical(lcNcl).noquote()
                << QStringLiteral("Cloud result is not a WebDAV listing: <%1>").arg(root);
            return std::nullopt;
        }
        return nodes;
    }

private:
    void startElement()
    {
        const QStringView name = xml.name();
        if (root.isEmpty())
            root = name.toString();
        if (name == u"error") {
            errorDocument = true;
        } else if (errorDocument && (name == u"exception" || name == u"message")) {
            errorTexts.append(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (name == u"response") {
            node = {};
            inResponse = true;
        } else if (!inResponse) {
            return;
        } else if (name == u"href") {
            setPath(node, xml.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (name == u"collection") {
            node.isFolder = true;
        } else if (name == u"getcontentlength") {
            // A negative length is no byte count: it reads as an absent one.
            node.size = std::max<qint64>(
                0,
                xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toLongLong());
        }
    }

    QXmlStreamReader xml;
    QString root;
    bool inResponse = false;
    NextCloudNode node;
    QList<NextCloudNode> nodes;
    bool errorDocument = false;
    QStringList errorTexts;
};

} // namespace

std::optional<QList<NextCloudNode>> PropfindReply::readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.exists()) {
        qCCritical(lcNcl) << "Cloud result doesn't exist!";
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qCCritical(lcNcl).noquote() << "Cloud result cannot be read:" << file.errorString();
        return std::nullopt;
    }
    if (file.size() == 0)
        qCCritical(lcNcl) << "Cloud result is empty!";
    return read(file);
}

std::optional<QList<NextCloudNode>> PropfindReply::read(QIODevice &device)
{
    return ReplyReader(device).read();
}
