#include "SizeText.h"

#include <QStringList>

SizeText::Scaled SizeText::transferSize(qint64 bytes)
{
    const qint64 kilobytes = bytes / 1024;
    if (kilobytes < 1024)
        return {QString::number(kilobytes), Unit::KB};
    if (kilobytes < 1048576)
        return {QString::number(double(kilobytes) / 1024, 'f', 2), Unit::MB};
    return {QString::number(double(kilobytes) / 1024 / 1024, 'f', 2), Unit::GB};
}

QString SizeText::listSize(qint64 bytes)
{
    static const QStringList units{QStringLiteral("KB"), QStringLiteral("MB"), QStringLiteral("GB"),
                                   QStringLiteral("TB")};
    qint64 value = bytes / 1024;
    int unit = 0;
    while (value > 1024 && unit < units.size() - 1) {
        value /= 1024;
        ++unit;
    }
    return QString::number(value) + QLatin1Char(' ') + units.at(unit);
}
