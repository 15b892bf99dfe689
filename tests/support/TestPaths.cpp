#include "TestPaths.h"

#include <QStandardPaths>

namespace {
QString fromEnvironment(const char *name, const char *fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString::fromUtf8(fallback) : value;
}
} // namespace

QString TestPaths::sourceDir()
{
    return fromEnvironment("VOREL_SOURCE_DIR", VOREL_DEFAULT_SOURCE_DIR);
}

QString TestPaths::peersDir()
{
    return fromEnvironment("VOREL_PEERS_DIR", VOREL_DEFAULT_PEERS_DIR);
}

QString TestPaths::nodeProgram()
{
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    return node.isEmpty() ? QStringLiteral("node") : node;
}
