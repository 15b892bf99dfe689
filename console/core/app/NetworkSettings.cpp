#include "NetworkSettings.h"

#include "ConsoleConfig.h"
#include "ZeltRequestPool.h"
#include "Zelt_S3Worker.h"

#include <Brenn_AWS/Storage_S3.h>

void applyNetworkSettings(const ConsoleConfig &config)
{
    const int connectMs = config.connectTimeout * 1000;
    const int replyMs = config.replyTimeout * 1000;
    Zelt_Common_API::ZeltRequestPool::setTimeouts({connectMs, replyMs});
    Brenn_AWS::Storage_S3::SetTimeouts(connectMs, replyMs);
    Zelt_S3Worker::setTransferConcurrency(config.transferConcurrency);
}
