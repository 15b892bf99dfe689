#pragma once

class ConsoleConfig;

// Gives the configured connect and reply time-outs to the REST requests and to the storage
// library, for every request made afterwards.
void applyNetworkTimeouts(const ConsoleConfig &config);
