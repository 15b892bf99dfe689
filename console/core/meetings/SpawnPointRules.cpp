#include "SpawnPointRules.h"

#include "common/ZeltJsonConversions.h"

#include <QCoreApplication>

#include <limits>

using Zelt_Service_API::ZeltDefVector3;

namespace SpawnPointRules {

QString idText(int index)
{
    return index < 1 ? QCoreApplication::translate("SpawnPointRules", "Default")
                     : QString::number(index);
}

QString newTitle(int index)
{
    return index < 1 ? QCoreApplication::translate("SpawnPointRules", "Start")
                     : QCoreApplication::translate("SpawnPointRules", "Position ") +
                           QString::number(index);
}

QString number(float value)
{
    return QString::number(double(value), 'g', 6);
}

QString vectorText(const ZeltDefVector3 &vector)
{
    return number(vector.x()) + QLatin1Char('|') + number(vector.y()) + QLatin1Char('|') +
           number(vector.z());
}

std::optional<float> coordinate(const QString &text)
{
    // toDouble() answers 0 for text that does not convert, and infinity when it overflows.
    const double number = text.toDouble();
    float value = 0;
    if (!Zelt_Common_API::fromJsonValue(value, number))
        return std::nullopt;
    return value;
}

QString coordinateLimit()
{
    return number(std::numeric_limits<float>::max());
}

ZeltDefVector3 vector(const QString &x, const QString &y, const QString &z)
{
    ZeltDefVector3 result;
    result.setX(coordinate(x).value_or(0));
    result.setY(coordinate(y).value_or(0));
    result.setZ(coordinate(z).value_or(0));
    return result;
}

bool canMoveUp(int row, int count)
{
    return row > 0 && row < count && count > 1;
}

bool canMoveDown(int row, int count)
{
    return row >= 0 && row < count - 1 && count > 1;
}

std::optional<int> move(SpawnPoints &points, int row, int step)
{
    const int count = int(points.size());
    const bool possible = step < 0 ? canMoveUp(row, count) : canMoveDown(row, count);
    if (!possible || (step != -1 && step != 1))
        return std::nullopt;
    points.swapItemsAt(row, row + step);
    return row + step;
}

SpawnPoints renumbered(SpawnPoints points)
{
    for (int i = 0; i < points.size(); ++i)
        points[i].setId(i);
    return points;
}

QString playerText(const Zelt_Service_API::ZeltMirrorClientInfo &client)
{
    return QString::number(client.id()) + QStringLiteral(" - ") + client.alias();
}

} // namespace SpawnPointRules
