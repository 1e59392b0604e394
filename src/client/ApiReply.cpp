#include "ApiReply.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string_view>

#include <json/reader.h>

#include "CodePage.h"

namespace client {
namespace {

bool ParseWholeInt64(const std::string& text, std::int64_t& out)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0')
        return false;
    out = v;
    return true;
}

bool parseWholeDouble(const std::string& text, double& out)
{
    // from_chars, not strtod: strtod reads "12.50" as 12 under a desktop locale with a decimal
    // comma. Leading blanks and a '+' are read as strtod read them.
    std::string_view s(text);
    s.remove_prefix(std::min(s.find_first_not_of(" \t\n\v\f\r"), s.size()));
    if (s.size() > 1 && s.front() == '+' && s[1] != '-')
        s.remove_prefix(1);
    double v = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || error != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

// Set up once: building the settings costs more than reading a short reply. Making a
// reader of them only reads them, so every thread may share the builders.
const Json::CharReaderBuilder& readerSettings(bool wholeText)
{
    static const auto make = [](bool failIfExtra) {
        Json::CharReaderBuilder b;
        b["collectComments"] = false;
        b["failIfExtra"] = failIfExtra;
        b["rejectDupKeys"] = false;
        return b;
    };
    static const Json::CharReaderBuilder whole = make(true);
    static const Json::CharReaderBuilder leading = make(false);
    return wholeText ? whole : leading;
}

bool parseWith(const Json::CharReaderBuilder& settings, std::string_view utf8, Json::Value& root)
{
    std::unique_ptr<Json::CharReader> reader(settings.newCharReader());
    std::string errors;
    try {
        return reader->parse(utf8.data(), utf8.data() + utf8.size(), &root, &errors);
    } catch (const std::exception&) {
        root = Json::Value();
        return false;
    }
}

} // namespace

const Json::Value& jsonMember(const Json::Value& object, const char* key)
{
    static const Json::Value kNull;
    if (!object.isObject())
        return kNull;
    const Json::Value* found = object.find(key, key + std::char_traits<char>::length(key));
    return found ? *found : kNull;
}

bool parseJson(std::string_view utf8, Json::Value& root)
{
    root = Json::Value();
    return !utf8.empty() && parseWith(readerSettings(true), utf8, root);
}

bool parseLeadingJson(std::string_view utf8, Json::Value& value, std::size_t& end)
{
    value = Json::Value();
    if (utf8.empty() || !parseWith(readerSettings(false), utf8, value))
        return false;
    end = std::size_t(value.getOffsetLimit());
    return end <= utf8.size();
}

std::string jsonText(const Json::Value& value)
{
    switch (value.type()) {
    case Json::stringValue:
        return value.asString();
    case Json::intValue:
        return std::to_string(value.asLargestInt());
    case Json::uintValue:
        return std::to_string(value.asLargestUInt());
    case Json::realValue: {
        // Shortest text that reads back as the same number: 0.1 shows as "0.1".
        char text[64];
        const auto result = std::to_chars(text, text + sizeof text, value.asDouble());
        return std::string(text, result.ptr);
    }
    case Json::booleanValue:
        return value.asBool() ? "true" : "false";
    default:
        return {};
    }
}

std::int64_t JsonInt64(const Json::Value& value)
{
    switch (value.type()) {
    case Json::intValue:
        return value.asLargestInt();
    case Json::uintValue:
        return value.asLargestUInt() > static_cast<Json::LargestUInt>(std::numeric_limits<std::int64_t>::max())
                   ? std::numeric_limits<std::int64_t>::max()
                   : static_cast<std::int64_t>(value.asLargestUInt());
    case Json::realValue: {
        const double d = value.asDouble();
        if (!std::isfinite(d) || d >= 9.2e18 || d <= -9.2e18)
            return 0;
        return static_cast<std::int64_t>(d);
    }
    case Json::booleanValue:
        return value.asBool() ? 1 : 0;
    case Json::stringValue: {
        std::int64_t v = 0;
        if (ParseWholeInt64(value.asString(), v))
            return v;
        double d = 0;
        if (parseWholeDouble(value.asString(), d) && d < 9.2e18 && d > -9.2e18)
            return static_cast<std::int64_t>(d);
        return 0;
    }
    default:
        return 0;
    }
}

int jsonInt(const Json::Value& value)
{
    const std::int64_t v = JsonInt64(value);
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return 0;
    return static_cast<int>(v);
}

double jsonReal(const Json::Value& value)
{
    switch (value.type()) {
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
        return value.asDouble();
    case Json::booleanValue:
        return value.asBool() ? 1.0 : 0.0;
    case Json::stringValue: {
        double d = 0;
        return parseWholeDouble(value.asString(), d) ? d : 0.0;
    }
    default:
        return 0.0;
    }
}

std::string jsonText(const Json::Value& object, const char* key) { return jsonText(jsonMember(object, key)); }
int jsonInt(const Json::Value& object, const char* key) { return jsonInt(jsonMember(object, key)); }
std::int64_t JsonInt64(const Json::Value& object, const char* key) { return JsonInt64(jsonMember(object, key)); }
double jsonReal(const Json::Value& object, const char* key) { return jsonReal(jsonMember(object, key)); }

ApiReply ApiReply::fromUtf8(std::string_view utf8)
{
    ApiReply reply;
    Json::Value root;
    if (!parseJson(utf8, root) || !root.isObject())
        return reply;
    reply.parsed = true;
    const Json::Value& success = jsonMember(root, "success");
    reply.success = success.isBool() ? success.asBool() : (success.isString() && success.asString() == "true");
    reply.msg = jsonText(root, "msg");
    // Taken over, not copied: a list reply can hold megabytes of records.
    if (root.isMember("infor")) {
        Json::Value& infor = root["infor"];
        if (infor.isObject() || infor.isArray())
            reply.infor.swap(infor);
    }
    return reply;
}

ApiReply ApiReply::fromWire(std::string_view wire)
{
    return fromUtf8(wireToUtf8(wire));
}

} // namespace client

