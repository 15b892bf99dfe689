#pragma once

// How often and how patiently a chunk that failed for a passing reason (a dropped connection,
// a busy server) is sent again before its transfer fails.
namespace TransferRetry {
constexpr int MaxRetries = 4;
// The wait before retry number `retry` (1 to MaxRetries): 0.5, 1, 2 and 4 s, each spread by up
// to a fifth either way by `random` (0 to 1), so that clients do not retry in step.
int delayMs(int retry, double random);
} // namespace TransferRetry
