#include "SpawnPointRules.h"

#include <QCoreApplication>

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

ZeltDefVector3 vector(const QString &x, const QString &y, const QString &z)
{
    // toDouble() answers 0 for text that does not convert.
    ZeltDefVector3 result;
    result.setX(float(x.toDouble()));
    result.setY(float(y.toDouble()));
    result.setZ(float(z.toDouble()));
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
