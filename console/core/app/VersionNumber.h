#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

// A (major, minor, patch) version as the console and the service exchange it.
struct VersionNumber
{
    int major = 0;
    int minor = 0;
    int patch = 0;

    QString dotted() const;
    friend bool operator==(const VersionNumber &a, const VersionNumber &b)
    {
        return a.major == b.major && a.minor == b.minor && a.patch == b.patch;
    }
    friend bool operator<(const VersionNumber &a, const VersionNumber &b);

    // From a source-control description such as "v3.1-2-gb60c8eb": 3.1.2.
    static VersionNumber fromBuildDescription(const QString &description);
    // From a status message "OK - Version v2.10.3"; nothing unless it names exactly three parts.
    static std::optional<VersionNumber> fromStatusMessage(const QString &message);
};

// The console's own version, from the build's source-control description.
namespace ConsoleVersion {
constexpr const char *BuildDescription = "v3.1-2-gb60c8eb";
VersionNumber current();
} // namespace ConsoleVersion

// Services older than 2.0.30 know nothing of asset bundles.
bool serviceSupportsAssetBundles(const VersionNumber &service);

Q_DECLARE_METATYPE(VersionNumber)
