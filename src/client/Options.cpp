#include "Options.h"

#include "client/Config.h"

namespace client {
namespace {

Options g_options = defaultOptions();

} // namespace

bool isValidHost(const std::string& host)
{
    if (host.empty())
        return false;
    for (unsigned char c : host) {
        if (c <= ' ' || c == '/' || c == '?' || c == '#' || c == '@' || c == '\\' || c >= 0x7f)
            return false;
    }
    return true;
}

Options defaultOptions()
{
    Options o;
    o.line0Host = defaults::kLine0Host;
    o.line1Host = defaults::kLine1Host;
    o.updateHost = defaults::kUpdateHost;
    o.signKey = defaults::kSignKey;
    o.pickupText = defaults::kPickupText;
    o.pickupAddress = defaults::kPickupAddress;
    return o;
}

bool isValidSignKey(const std::string& key)
{
    if (key.size() != 16)
        return false;
    for (unsigned char c : key) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!ok)
            return false;
    }
    return true;
}

const Options& currentOptions()
{
    return g_options;
}

void setCurrentOptions(const Options& options)
{
    g_options = options;
}

} // namespace client
