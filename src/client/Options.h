#pragma once

#include <optional>
#include <string>
#include <vector>

namespace client {

// Run-time deployment settings: compiled-in defaults, overridden by the command line.
struct Options
{
    std::string line0Host;  // "联通"
    std::string line1Host;  // "移动"
    std::string updateHost; // host or host:port of the update manifest
    std::string signKey;
    std::string workDir;    // empty: keep the current working directory
    std::string pickupText;    // the pickup point as the delivery form shows it (UTF-8)
    std::string pickupAddress; // the pickup point sent as a pickup delivery's address (UTF-8)
    bool trace = false;
};

Options DefaultOptions();

struct OptionsResult
{
    Options options;
    std::string error;               // non-empty when the command line was refused
    std::vector<std::string> rest;   // arguments not ours (left for Qt)
};

// Parses --line0-host HOST, --line1-host HOST, --update-host HOST[:PORT], --key KEY,
// --workdir DIR, --pickup-text TEXT, --pickup-address TEXT and --trace (also in the form
// --name=value). Unknown arguments are passed through in `rest`; a missing value or a
// malformed key is an error.
OptionsResult ParseOptions(const std::vector<std::string>& args);

bool IsValidSignKey(const std::string& key);

// The process-wide settings, set once at start-up before any thread starts.
const Options& CurrentOptions();
void SetCurrentOptions(const Options& options);

} // namespace client
