#pragma once

class ConsoleConfig;

// Gives the configured connect and reply time-outs to the REST requests and to the storage
// library, and the transfers' concurrency to the S3 worker, for every request made afterwards.
void applyNetworkSettings(const ConsoleConfig &config);
