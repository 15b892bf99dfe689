#pragma once

#include <Brenn_AWS/Structs.h>

#include <QMetaType>

// The library's transfer states, carried between the browser's and the worker's threads.
Q_DECLARE_METATYPE(Brenn_AWS::UploadState)
Q_DECLARE_METATYPE(Brenn_AWS::DownloadState)
