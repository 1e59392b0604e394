#include "Options.h"

#include "client/Config.h"

namespace client {
namespace {

Options g_options = DefaultOptions();

bool IsValidHost(const std::string& host)
{
    if (host.empty())
        return false;
    for (unsigned char c : host) {
        // A host goes straight into a URL: nothing that could end or redirect it.
        if (c <= ' ' || c == '/' || c == '?' || c == '#' || c == '@' || c == '\\' || c >= 0x7f)
            return false;
    }
    return true;
}

} // namespace

Options DefaultOptions()
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

bool IsValidSignKey(const std::string& key)
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

OptionsResult ParseOptions(const std::vector<std::string>& args)
{
    OptionsResult result;
    result.options = DefaultOptions();
    Options& o = result.options;

    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (name.rfind("--", 0) == 0) {
            const auto eq = name.find('=');
            if (eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
            }
        }
        auto takeValue = [&](std::string& out) -> bool {
            if (inlineValue) {
                out = *inlineValue;
            } else if (i + 1 < args.size()) {
                out = args[++i];
            } else {
                result.error = name + " needs a value";
                return false;
            }
            return true;
        };

        if (name == "--trace") {
            o.trace = true;
        } else if (name == "--line0-host" || name == "--line1-host" || name == "--update-host") {
            std::string value;
            if (!takeValue(value))
                return result;
            if (!IsValidHost(value)) {
                result.error = name + ": not a host: " + value;
                return result;
            }
            (name == "--line0-host" ? o.line0Host : name == "--line1-host" ? o.line1Host : o.updateHost) = value;
        } else if (name == "--key") {
            std::string value;
            if (!takeValue(value))
                return result;
            if (!IsValidSignKey(value)) {
                result.error = "--key must be 16 ASCII letters and digits";
                return result;
            }
            o.signKey = value;
        } else if (name == "--workdir") {
            if (!takeValue(o.workDir))
                return result;
            if (o.workDir.empty()) {
                result.error = "--workdir needs a folder";
                return result;
            }
        } else if (name == "--pickup-text" || name == "--pickup-address") {
            std::string& text = name == "--pickup-text" ? o.pickupText : o.pickupAddress;
            if (!takeValue(text))
                return result;
            if (text.empty() || text.find_first_of("\r\n") != std::string::npos) {
                result.error = name + " needs one line of text";
                return result;
            }
        } else {
            result.rest.push_back(args[i]);
        }
    }
    return result;
}

const Options& CurrentOptions()
{
    return g_options;
}

void SetCurrentOptions(const Options& options)
{
    g_options = options;
}

} // namespace client
