#pragma once

#include "service/ZeltMeetingInfo.h"

#include <QList>
#include <QString>

#include <optional>

// How spawn points are shown, ordered and numbered. The first point of a meeting's list is its
// default start position.
namespace SpawnPointRules {

using SpawnPoints = QList<Zelt_Service_API::ZeltSpawnPoint>;

// "Default" for the first point (an index below 1), else the index in decimal.
QString idText(int index);
// What a new point is called: "Start" for the first, "Position n" for the others.
QString newTitle(int index);
// A coordinate as the dialogs show it: general format, 6 significant digits.
QString number(float value);
// x, y and z joined by "|".
QString vectorText(const Zelt_Service_API::ZeltDefVector3 &vector);
// A typed coordinate: 0 for a text that is not a number, nothing for a number a float cannot
// hold (the service would store it as nothing and answer 0).
std::optional<float> coordinate(const QString &text);
// The largest coordinate, as the dialogs show it.
QString coordinateLimit();
// Three coordinate texts as a vector; a text that is not a coordinate gives 0.
Zelt_Service_API::ZeltDefVector3 vector(const QString &x, const QString &y, const QString &z);

// Whether the point in row (-1: none) can move one place up or down in a list of count points.
bool canMoveUp(int row, int count);
bool canMoveDown(int row, int count);
// Swaps the point in row with the one step (-1 or +1) away; the row it moved to, or nothing
// when it cannot move that way.
std::optional<int> move(SpawnPoints &points, int row, int step);

// Each point's "Id" becomes its position in the list, so the first one is the default.
SpawnPoints renumbered(SpawnPoints points);

// A participant as the position source list shows it: "Id - Alias".
QString playerText(const Zelt_Service_API::ZeltMirrorClientInfo &client);

} // namespace SpawnPointRules
