#include "ServerOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "session/Config.h"
#include "client/Numbers.h"
#include "client/Options.h"

namespace exchange {
namespace {

// The whole text as a decimal number from `low` to `high`.
std::optional<double> NumberIn(const std::string& text, double low, double high)
{
    const std::optional<double> v = client::wholeDecimal(text);
    if (!v || *v < low || *v > high)
        return std::nullopt;
    return v;
}

// The whole text as a whole number without a sign.
std::optional<unsigned long long> WholeNumber(const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || text[0] == '-')
        return std::nullopt;
    return v;
}

} // namespace

std::string ServerUsage()
{
    return "usage: velmora-exchange [options]\n"
           "The substitute exchange that velmora trades with on this machine.\n"
           "  -h, --help               show this help and exit\n"
           "  -v, --version            show the version and exit\n"
           "  --listen ADDR            serve ports 8055 and 8041 on ADDR (repeatable; default 127.0.0.1 and 127.0.0.2)\n"
           "  --update-listen ADDR:PORT serve /pc_update.json and the information page (default 127.0.0.1:8090)\n"
           "  --key KEY                signing key, 16 ASCII letters and digits (default: the terminal's)\n"
           "  --accounts FILE          accounts as a JSON array (default: the built-in demo accounts)\n"
           "  --session-clock          the time-share's trading day opens (09:30) when the service starts\n"
           "  --login-hours N          an account answers the address that logged in to it for N hours (default 24)\n"
           "  --open-accounts          answer account requests without a login from the client's address (tests)\n"
           "  --delivery-horizon DAYS  how far ahead a delivery may be dated (default 365)\n"
           "  --pace N                 simulated participant actions a second (default 2; 0 freezes the market)\n"
           "  --seed N                 seed of the generated history and the participants (default 1)\n"
           "  --db FILE                keep accounts, orders, trades, positions, deliveries and cash in SQLite\n"
           "  --manifest-version TEXT  version the update manifest names (default v1.6)\n"
           "  --manifest-forced TEXT   \"true\" makes the update mandatory (default false)\n"
           "  --manifest-msg TEXT      announcement of the update manifest\n"
           "  --fault PATH=MODE[:ARG]  misbehave on PATH (trailing * matches a prefix): delay:MS, hang, close,\n"
           "                           malformed, 500, huge[:BYTES], drip,\n"
           "                           wrongtypes, gzipbomb[:BYTES] (repeatable)\n"
           "Each option that takes a value also takes the form --name=value.\n";
}

std::string ServerVersion()
{
    return std::string("velmora-exchange ") + client::defaults::kProgramVersion + "\n";
}

ServerOptionsResult ParseServerOptions(const std::vector<std::string>& args)
{
    ServerOptionsResult r;
    ServerOptions& o = r.options;
    o.key = client::defaults::kSignKey;
    bool listenGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--version" || name == "-v") {
            o.version = true;
            continue;
        }
        if (name == "--session-clock" || name == "--open-accounts") {
            // "--open-accounts=no" must not open them.
            if (hasValue) {
                r.error = name + " takes no value";
                return r;
            }
            (name == "--session-clock" ? o.sessionClock : o.openAccounts) = true;
            continue;
        }
        static const char* kValued[] = {"--listen", "--update-listen", "--key", "--accounts", "--pace", "--seed", "--db",
                                        "--manifest-version", "--manifest-forced", "--manifest-msg", "--fault",
                                        "--login-hours", "--delivery-horizon"};
        bool known = false;
        for (const char* k : kValued)
            known = known || name == k;
        if (!known) {
            r.error = "unknown option: " + name;
            return r;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                r.error = name + " needs a value";
                return r;
            }
            value = args[++i];
        }
        if (name == "--listen") {
            if (!listenGiven)
                o.listen.clear();
            listenGiven = true;
            if (value.empty()) {
                r.error = "--listen needs an address";
                return r;
            }
            o.listen.push_back(value);
        } else if (name == "--update-listen") {
            const auto colon = value.rfind(':');
            char* end = nullptr;
            const long port = colon == std::string::npos ? 0 : std::strtol(value.c_str() + colon + 1, &end, 10);
            if (colon == std::string::npos || colon == 0 || *end != '\0' || port <= 0 || port > 65535) {
                r.error = "--update-listen takes ADDR:PORT";
                return r;
            }
            o.updateHost = value.substr(0, colon);
            o.updatePort = static_cast<int>(port);
        } else if (name == "--key") {
            if (!client::isValidSignKey(value)) {
                r.error = "--key must be 16 ASCII letters and digits";
                return r;
            }
            o.key = value;
        } else if (name == "--accounts") {
            o.accountsFile = value;
        } else if (name == "--pace") {
            const std::optional<double> pace = NumberIn(value, 0, 10000);
            if (!pace) {
                r.error = "--pace takes a number from 0 to 10000";
                return r;
            }
            o.pace = *pace;
        } else if (name == "--seed") {
            const std::optional<unsigned long long> seed = WholeNumber(value);
            if (!seed) {
                r.error = "--seed takes a whole number";
                return r;
            }
            o.seed = *seed;
        } else if (name == "--login-hours") {
            const std::optional<double> hours = NumberIn(value, 0, 87600);
            if (!hours || *hours <= 0) {
                r.error = "--login-hours takes a number of hours above 0, at most 87600";
                return r;
            }
            o.loginHours = *hours;
        } else if (name == "--delivery-horizon") {
            const std::optional<unsigned long long> days = WholeNumber(value);
            if (!days || *days > 36500) {
                r.error = "--delivery-horizon takes a whole number of days from 0 to 36500";
                return r;
            }
            o.deliveryHorizonDays = static_cast<int>(*days);
        } else if (name == "--db") {
            o.db = value;
        } else if (name == "--manifest-version") {
            o.manifestVersion = value;
        } else if (name == "--manifest-forced") {
            o.manifestForced = value;
        } else if (name == "--manifest-msg") {
            o.manifestMsg = value;
        } else if (name == "--fault") {
            o.faults.push_back(value);
        }
    }
    if (o.listen.empty())
        o.listen = {client::defaults::kLine0Host, client::defaults::kLine1Host};
    return r;
}

} // namespace exchange
