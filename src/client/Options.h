#pragma once

#include <string>

namespace client {

// Run-time deployment settings: compiled-in defaults, overridden by the command line
// (the terminal's parser is app::parseCommandLine).
struct Options
{
    std::string line0Host;  // "联通"
    std::string line1Host;  // "移动"
    std::string updateHost; // host or host:port of the update manifest
    std::string signKey;
    std::string workDir;    // empty: the per-user configuration folder
    bool trace = false;
};

Options DefaultOptions();

// A host goes straight into a URL: nothing that could end or redirect it.
bool IsValidHost(const std::string& host);
bool IsValidSignKey(const std::string& key);

// The process-wide settings, set once at start-up before any thread starts.
const Options& CurrentOptions();
void SetCurrentOptions(const Options& options);

} // namespace client
