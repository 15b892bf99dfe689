#pragma once

// How often and how patiently a chunk that failed for a passing reason (a dropped connection,
// a busy server) is sent again before its transfer fails.
namespace TransferRetry {
constexpr int MaxRetries = 4;
// The wait before retry number `retry` (1 to MaxRetries): 0.5, 1, 2 and 4 s, each spread by up
// to a fifth either way by `random` (0 to 1), so that clients do not retry in step.
int delayMs(int retry, double random);

// A connection failure that outlasts the retries does not fail its transfer at once: the
// transfer waits for the connection with growing pauses, and fails with its reason only when
// the outage has lasted this long.
constexpr int OutageLimitMs = 30 * 60 * 1000;
// The pause before attempt `attempt` (from 1) after the retries: 2, 4, 8, 16 and 32 s, then
// 60 s each.
int outagePauseMs(int attempt);
// The library's code for a request that got no response at all: no connection, or one that
// broke off.
constexpr int NoConnectionCode = 99;
} // namespace TransferRetry
