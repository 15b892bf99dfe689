#pragma once

#include <QString>

namespace TestPaths {
// The repository's root and the folder of the npm test peers (s3rver, webdav-server).
QString sourceDir();
QString peersDir();
// Node.js, as the setup script installs it.
QString nodeProgram();
} // namespace TestPaths
