#pragma once

#include <QtGlobal>

namespace Brenn_AWS {

// What the location argument of a client names.
enum Type : qint32
{
    MinIO = 0, // an endpoint URL of an S3-compatible server, region "eu-central-1"
    AWS = 1,   // an AWS region name; the region's own endpoint is used
};

} // namespace Brenn_AWS
