#include "TransferRetry.h"

#include <QtGlobal>

namespace TransferRetry {

int delayMs(int retry, double random)
{
    const int base = 500 << qBound(0, retry - 1, MaxRetries - 1);
    return qRound(base * (0.8 + 0.4 * qBound(0.0, random, 1.0)));
}

} // namespace TransferRetry
