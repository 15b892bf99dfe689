#include "TransferRetry.h"

#include <QtGlobal>

namespace TransferRetry {

int delayMs(int retry, double random)
{
    const int base = 500 << qBound(0, retry - 1, MaxRetries - 1);
    return qRound(base * (0.8 + 0.4 * qBound(0.0, random, 1.0)));
}

int outagePauseMs(int attempt)
{
    constexpr int LongestMs = 60 * 1000;
    const int doublings = qBound(0, attempt - 1, 5);
    return qMin(2000 << doublings, LongestMs);
}

} // namespace TransferRetry
