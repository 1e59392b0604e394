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
    std::string pickupText;    // the pickup point as the delivery form shows it (UTF-8)
    std::string pickupAddress; // the pickup point sent as a pickup delivery's address (UTF-8)
    bool trace = false;
};

Options defaultOptions();

// A host goes straight into a URL: nothing that could end or redirect it.
bool isValidHost(const std::string& host);
bool isValidSignKey(const std::string& key);

// The process-wide settings, set once at start-up before any thread starts.
const Options& currentOptions();
void setCurrentOptions(const Options& options);

} // namespace client
