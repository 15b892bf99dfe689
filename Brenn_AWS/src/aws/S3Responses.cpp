#include "S3Responses.h"

#include "Xml.h"

#include <QXmlStreamWriter>

namespace Brenn_AWS::aws {

namespace {

AwsError parseFailure(const QString &detail)
{
    return AwsError{ErrorType::Unknown, QStringLiteral("Xml Parse Error"), detail, 200};
}

// The root element of a reply, which must carry the expected name. S3 may send blanks before the
// document while it works on a long request.
Outcome<XmlElement> documentRoot(const QByteArray &body, const QString &expectedName)
{
    QString parseError;
    std::optional<XmlElement> root = parseXml(body.trimmed(), &parseError);
    if (!root)
        return parseFailure(parseError);
    if (root->name == QLatin1String("Error"))
        return xmlError(200, body.trimmed());
    if (root->name != expectedName)
        return parseFailure(QStringLiteral("Unexpected document <%1>, expected <%2>")
                                .arg(root->name, expectedName));
    return *root;
}

bool isTrue(const XmlElement &element, const QString &childName)
{
    return element.childText(childName).trimmed() == QLatin1String("true");
}

} // namespace

Outcome<ListPage> parseListObjectsV2(const QByteArray &body)
{
    const Outcome<XmlElement> root = documentRoot(body, QStringLiteral("ListBucketResult"));
    if (!root.isSuccess())
        return root.error();
    ListPage page;
    for (const XmlElement *contents : root.value().childrenNamed(QStringLiteral("Contents"))) {
        // A size that is no byte count would turn into a bogus total or transfer range.
        const QString sizeText = contents->childText(QStringLiteral("Size")).trimmed();
        bool isNumber = false;
        const qint64 size = sizeText.toLongLong(&isNumber);
        if (!isNumber || size < 0)
            return parseFailure(QStringLiteral("An object with the size \"%1\"").arg(sizeText));
        page.objects.append(S3Object{contents->childText(QStringLiteral("Key")), size,
                                     contents->childText(QStringLiteral("ETag"))});
    }
    page.truncated =
        root.value().childText(QStringLiteral("IsTruncated")).trimmed() == QLatin1String("true");
    page.nextContinuationToken = root.value().childText(QStringLiteral("NextContinuationToken"));
    if (page.truncated && page.nextContinuationToken.isEmpty())
        return parseFailure(QStringLiteral("A truncated listing without a continuation token"));
    return page;
}

Outcome<QString> parseInitiateMultipartUpload(const QByteArray &body)
{
    const Outcome<XmlElement> root =
        documentRoot(body, QStringLiteral("InitiateMultipartUploadResult"));
    if (!root.isSuccess())
        return root.error();
    const QString uploadId = root.value().childText(QStringLiteral("UploadId")).trimmed();
    if (uploadId.isEmpty())
        return parseFailure(QStringLiteral("The reply holds no UploadId"));
    return uploadId;
}

Outcome<QString> parseCompleteMultipartUpload(const QByteArray &body)
{
    const Outcome<XmlElement> root =
        documentRoot(body, QStringLiteral("CompleteMultipartUploadResult"));
    if (!root.isSuccess())
        return root.error();
    return root.value().childText(QStringLiteral("ETag")).trimmed();
}

Outcome<PartsPage> parseListParts(const QByteArray &body)
{
    const Outcome<XmlElement> root = documentRoot(body, QStringLiteral("ListPartsResult"));
    if (!root.isSuccess())
        return root.error();
    PartsPage page;
    for (const XmlElement *part : root.value().childrenNamed(QStringLiteral("Part"))) {
        bool numberOk = false, sizeOk = false;
        const int number = part->childText(QStringLiteral("PartNumber")).trimmed().toInt(&numberOk);
        const qint64 size = part->childText(QStringLiteral("Size")).trimmed().toLongLong(&sizeOk);
        if (!numberOk || !sizeOk || number < 1 || size < 0)
            return parseFailure(QStringLiteral("A part without a valid number or size"));
        page.parts.append(ListedPart{number, size, part->childText(QStringLiteral("ETag"))});
    }
    page.truncated = isTrue(root.value(), QStringLiteral("IsTruncated"));
    page.nextPartNumberMarker =
        root.value().childText(QStringLiteral("NextPartNumberMarker")).trimmed().toInt();
    // A marker that does not move on would ask for the same page for ever.
    if (page.truncated &&
        (page.parts.isEmpty() || page.nextPartNumberMarker < page.parts.constLast().partNumber))
        return parseFailure(QStringLiteral("A truncated part listing without a next marker"));
    return page;
}

Outcome<UploadsPage> parseListMultipartUploads(const QByteArray &body)
{
    const Outcome<XmlElement> root =
        documentRoot(body, QStringLiteral("ListMultipartUploadsResult"));
    if (!root.isSuccess())
        return root.error();
    UploadsPage page;
    for (const XmlElement *upload : root.value().childrenNamed(QStringLiteral("Upload"))) {
        QDateTime initiated = QDateTime::fromString(
            upload->childText(QStringLiteral("Initiated")).trimmed(), Qt::ISODateWithMs);
        page.uploads.append(OpenUpload{upload->childText(QStringLiteral("Key")),
                                       upload->childText(QStringLiteral("UploadId")).trimmed(),
                                       initiated.toUTC()});
    }
    page.truncated = isTrue(root.value(), QStringLiteral("IsTruncated"));
    page.nextKeyMarker = root.value().childText(QStringLiteral("NextKeyMarker"));
    page.nextUploadIdMarker =
        root.value().childText(QStringLiteral("NextUploadIdMarker")).trimmed();
    if (page.truncated && page.nextKeyMarker.isEmpty())
        return parseFailure(QStringLiteral("A truncated upload listing without a next key marker"));
    return page;
}

QByteArray completeMultipartUploadBody(const QList<CompletedPart> &parts)
{
    QByteArray body;
    QXmlStreamWriter writer(&body);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("CompleteMultipartUpload"));
    writer.writeDefaultNamespace(QStringLiteral("http://s3.amazonaws.com/doc/2006-03-01/"));
    for (const CompletedPart &part : parts) {
        writer.writeStartElement(QStringLiteral("Part"));
        writer.writeTextElement(QStringLiteral("ETag"), part.eTag);
        writer.writeTextElement(QStringLiteral("PartNumber"), QString::number(part.partNumber));
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return body;
}

} // namespace Brenn_AWS::aws
