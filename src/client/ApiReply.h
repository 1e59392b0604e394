#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <json/value.h>

namespace client {

// Parses UTF-8 JSON text. Never throws; false for empty or malformed text.
bool parseJson(std::string_view utf8, Json::Value& root);
// Parses the JSON value at the start of UTF-8 text and leaves what follows it; `end` is the
// offset just past the value. Never throws.
bool parseLeadingJson(std::string_view utf8, Json::Value& value, std::size_t& end);

// Member readers that never throw: a member that is missing or of the wrong type reads as
// empty or zero. Text reads numbers and booleans in their JSON form; numbers read numeric
// text only where all of it is the number (so "12.5" as real is 12.5, "abc" is 0).
// The member, or null when `object` is no object or lacks it.
const Json::Value& jsonMember(const Json::Value& object, const char* key);
std::string jsonText(const Json::Value& object, const char* key);
int jsonInt(const Json::Value& object, const char* key);
std::int64_t JsonInt64(const Json::Value& object, const char* key);
double jsonReal(const Json::Value& object, const char* key);

std::string jsonText(const Json::Value& value);
int jsonInt(const Json::Value& value);
std::int64_t JsonInt64(const Json::Value& value);
double jsonReal(const Json::Value& value);

// The trading service's reply envelope.
struct ApiReply
{
    bool parsed = false;  // the reply text was a JSON object
    bool success = false; // exactly the text "true", or JSON true
    std::string msg;
    Json::Value infor;    // object, array or null

    // The raw reply in the wire code page; converted to UTF-8 before parsing.
    static ApiReply fromWire(std::string_view wire);
    static ApiReply fromUtf8(std::string_view utf8);
};

} // namespace client
