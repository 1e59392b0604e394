#include "Options.h"

namespace client {

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
    return Options{};
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

} // namespace client
