#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace client {

// One member of a request body: text, or a JSON integer whose text is its decimal form.
struct BodyMember
{
    std::string key;
    std::string value;
    bool integer = false;
};

// The body in the styled form the exchange has always received: "{" on its own line,
// members in ascending byte order of their keys, each indented by three spaces as
// "key" : value with a "," after all but the last, then "}" and a line end.
// Non-ASCII text is written as it stands, unescaped.
std::string styledBody(std::vector<BodyMember> members);

// A JSON string literal as the styled writer quotes it, non-ASCII left unescaped.
std::string quoteJsonString(std::string_view text);

} // namespace client
