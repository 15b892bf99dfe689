#include "ObjectDigest.h"

#include <QIODevice>

namespace Brenn_AWS::aws {

namespace {

constexpr qsizetype md5Size = 16;

bool isMd5Hex(QStringView text)
{
    if (text.size() != 2 * md5Size)
        return false;
    for (const QChar c : text) {
        if (!c.isDigit() && !(c >= QLatin1Char('a') && c <= QLatin1Char('f')) &&
            !(c >= QLatin1Char('A') && c <= QLatin1Char('F')))
            return false;
    }
    return true;
}

} // namespace

int multipartCount(const QString &eTag)
{
    const QStringView view(eTag);
    if (view.size() <= 2 * md5Size + 1 || view.at(2 * md5Size) != QLatin1Char('-') ||
        !isMd5Hex(view.left(2 * md5Size)))
        return 0;
    const QStringView count = view.mid(2 * md5Size + 1);
    for (const QChar c : count) {
        if (!c.isDigit())
            return 0;
    }
    // S3 allows 10,000 parts; longer numbers are no part count.
    return count.size() <= 5 ? count.toInt() : 0;
}

QString multipartETag(const QByteArray &partDigests)
{
    return QString::fromLatin1(
               QCryptographicHash::hash(partDigests, QCryptographicHash::Md5).toHex()) +
           QLatin1Char('-') + QString::number(partDigests.size() / md5Size);
}

std::optional<QString> expectedCompletedETag(const QString &eTag, const QByteArray &partDigests)
{
    if (multipartCount(eTag) > 0)
        return multipartETag(partDigests);
    if (isMd5Hex(eTag) && partDigests.size() == md5Size)
        return QString::fromLatin1(partDigests.toHex());
    return std::nullopt;
}

std::optional<qint64> digestPartSize(const QString &eTag, qint64 objectSize, qint64 firstPartSize,
                                     int partsCount)
{
    if (isMd5Hex(eTag))
        return 0;
    const int parts = multipartCount(eTag);
    if (parts > 0 && parts == partsCount && firstPartSize > 0 &&
        (objectSize + firstPartSize - 1) / firstPartSize == parts)
        return firstPartSize;
    return std::nullopt;
}

StreamDigest::StreamDigest(qint64 partSize) : m_partSize(partSize) {}

void StreamDigest::addData(const char *data, qint64 size)
{
    while (size > 0) {
        const qint64 take = m_partSize > 0 ? qMin(size, m_partSize - m_partFed) : size;
        m_part.addData(QByteArrayView(data, take));
        data += take;
        size -= take;
        m_partFed += take;
        m_fed += take;
        if (m_partFed == m_partSize) {
            m_digests += m_part.result();
            m_part.reset();
            m_partFed = 0;
        }
    }
}

bool StreamDigest::rewind(QIODevice &source, qint64 offset)
{
    // Finished parts before the offset keep their digests.
    const qint64 keptParts =
        m_partSize > 0 ? qMin(offset / m_partSize, m_digests.size() / md5Size) : 0;
    m_digests.truncate(keptParts * md5Size);
    m_part.reset();
    m_partFed = 0;
    m_fed = keptParts * m_partSize;
    return catchUp(source, offset);
}

bool StreamDigest::catchUp(QIODevice &source, qint64 offset)
{
    if (!source.seek(m_fed))
        return false;
    QByteArray block;
    while (m_fed < offset) {
        block = source.read(qMin<qint64>(offset - m_fed, 1 << 20));
        if (block.isEmpty())
            return false;
        addData(block.constData(), block.size());
    }
    return true;
}

QString StreamDigest::eTag()
{
    if (m_partSize == 0)
        return QString::fromLatin1(m_part.result().toHex());
    QByteArray digests = m_digests;
    if (m_partFed > 0)
        digests += m_part.result();
    return multipartETag(digests);
}

} // namespace Brenn_AWS::aws
