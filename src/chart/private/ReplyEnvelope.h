#pragma once

#include <string_view>

#include <json/value.h>

namespace chart {

// Parses a market-data reply into `root` and returns its "infor" array, or nothing when the
// reply does not parse or does not report success. Reads the records in place: a large
// candle reply is not copied.
const Json::Value* SuccessfulInfor(std::string_view utf8, Json::Value& root);

} // namespace chart
