#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace exchange {

struct ServerOptions
{
    std::vector<std::string> listen;   // addresses for ports 8055 and 8041
    std::string updateHost = "127.0.0.1";
    int updatePort = 8090;
    std::string key;
    std::string accountsFile;
    double pace = 2.0; // participant actions a second
    std::uint64_t seed = 1;
    std::string db;
    std::string manifestVersion = "v1.6";
    std::string manifestForced = "false";
    std::string manifestMsg;
    std::vector<std::string> faults; // PATH=MODE[:ARG]
    bool sessionClock = false;
    bool openAccounts = false;
    double loginHours = 24;
    int deliveryHorizonDays = 365;
    bool help = false;
    bool version = false;
};

struct ServerOptionsResult
{
    ServerOptions options;
    std::string error;
};

ServerOptionsResult ParseServerOptions(const std::vector<std::string>& args);
std::string ServerUsage();
// "velmora-exchange <release>", as --version prints it.
std::string ServerVersion();

} // namespace exchange
