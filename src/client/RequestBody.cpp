#include "RequestBody.h"

#include <algorithm>
#include <cstdio>

namespace client {

std::string quoteJsonString(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

std::string styledBody(std::vector<BodyMember> members)
{
    std::stable_sort(members.begin(), members.end(),
                     [](const BodyMember& a, const BodyMember& b) { return a.key < b.key; });
    if (members.empty())
        return "{}\n";
    std::string out = "{\n";
    for (size_t i = 0; i < members.size(); ++i) {
        out += "   ";
        out += quoteJsonString(members[i].key);
        out += " : ";
        out += members[i].integer ? members[i].value : quoteJsonString(members[i].value);
        if (i + 1 < members.size())
            out += ',';
        out += '\n';
    }
    out += "}\n";
    return out;
}

} // namespace client
