#include "AccountRules.h"

#include <algorithm>

namespace VorelSim::AccountRules {

namespace {
QString firstValue(const QJsonObject &attribute)
{
    return attribute.value(QStringLiteral("value")).toArray().first().toString();
}
} // namespace

bool shareGroup(const User &a, const User &b)
{
    return std::any_of(a.groups.begin(), a.groups.end(), [&b](const QString &group) {
        return b.groups.contains(group, Qt::CaseInsensitive);
    });
}

bool mayActForCreator(const SimState &state, const User &caller, const QString &creatorId)
{
    if (caller.isAdministrator() || caller.id == creatorId)
        return true;
    const User *creator = state.userById(creatorId);
    return caller.isGroupAdministrator() && creator && shareGroup(caller, *creator);
}

bool mayManageMeeting(const SimState &state, const User &caller, const Meeting &meeting)
{
    return mayActForCreator(state, caller, meeting.creatorId());
}

StorageProfile storageOf(const SimState &state, const User &user)
{
    // The first of the user's groups that has an "S3_Config" subgroup; within it the last one.
    QJsonObject storageGroup;
    for (const QString &name : user.groups) {
        const QJsonArray subGroups = state.group(name).value(QStringLiteral("subGroups")).toArray();
        for (const QJsonValue &subGroup : subGroups) {
            if (subGroup.toObject()
                    .value(QStringLiteral("name"))
                    .toString()
                    .startsWith(QLatin1String("S3_Config"), Qt::CaseInsensitive))
                storageGroup = subGroup.toObject();
        }
        if (!storageGroup.isEmpty())
            break;
    }
    StorageProfile profile;
    const QJsonArray attributes = storageGroup.value(QStringLiteral("attributes")).toArray();
    for (const QJsonValue &value : attributes) {
        const QJsonObject attribute = value.toObject();
        const QString key = attribute.value(QStringLiteral("key")).toString();
        if (key.compare(QLatin1String("Modus"), Qt::CaseInsensitive) == 0)
            profile.mode = firstValue(attribute).toUpper();
        else if (key.compare(QLatin1String("Folder"), Qt::CaseInsensitive) == 0)
            profile.folder = firstValue(attribute);
    }
    return profile;
}

} // namespace VorelSim::AccountRules
