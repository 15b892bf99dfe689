#pragma once

#include "ZeltRequestPool.h"

// Every REST request sent so far has been answered (or dropped): a point where the number of
// requests a poll sent no longer depends on how fast the peer answered the one before.
inline bool networkIdle()
{
    const auto &pool = Zelt_Common_API::ZeltRequestPool::instance();
    return pool.inFlight() == 0 && pool.waiting() == 0;
}
