#pragma once

#include <QJsonObject>
#include <QList>

namespace VorelSim::Banlist {

// Whether an asset falls under a banlist entry. URL entries (Mode 3) hold a pattern in which
// "*" stands for any text and "?" for one character, matched against a URL asset's address;
// file entries match a file asset by checksum or, when the asset carries none, by file name.
bool bans(const QJsonObject &entry, const QJsonObject &asset);
// The first entry that bans the asset, or null.
const QJsonObject *findBan(const QList<QJsonObject> &banlist, const QJsonObject &asset);
bool wildcardMatch(const QString &pattern, const QString &text);

} // namespace VorelSim::Banlist
