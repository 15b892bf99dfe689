#include "VersionNumber.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
int partAt(const QStringList &parts, int index)
{
    // A missing or non-numeric part counts as 0.
    return index < parts.size() ? parts.at(index).toInt() : 0;
}
} // namespace

QString VersionNumber::dotted() const
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);
}

bool operator<(const VersionNumber &a, const VersionNumber &b)
{
    if (a.major != b.major)
        return a.major < b.major;
    if (a.minor != b.minor)
        return a.minor < b.minor;
    return a.patch < b.patch;
}

VersionNumber VersionNumber::fromBuildDescription(const QString &description)
{
    // Drop the leading "v" and the trailing "-g" plus seven hex digits of the commit id.
    QString text = description.mid(1);
    text.chop(9);
    text.replace(QLatin1Char('-'), QLatin1Char('.'));
    const QStringList parts = text.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    return {partAt(parts, 0), partAt(parts, 1), partAt(parts, 2)};
}

std::optional<VersionNumber> VersionNumber::fromStatusMessage(const QString &message)
{
    if (!message.contains(QLatin1String("OK - Version")))
        return std::nullopt;
    QString rest = message.mid(13);
    if (rest.startsWith(QLatin1Char('v'), Qt::CaseInsensitive))
        rest.remove(0, 1);
    static const QRegularExpression separators(QStringLiteral("[(\\.|\\-)]"));
    QStringList parts = rest.split(separators, Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return std::nullopt;
    if (parts[0].startsWith(QLatin1Char('v')))
        parts[0].remove(0, 1);
    return VersionNumber{partAt(parts, 0), partAt(parts, 1), partAt(parts, 2)};
}

VersionNumber ConsoleVersion::current()
{
    return VersionNumber::fromBuildDescription(QString::fromLatin1(BuildDescription));
}

bool serviceSupportsAssetBundles(const VersionNumber &service)
{
    return !(service < VersionNumber{2, 0, 30});
}
