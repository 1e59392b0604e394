#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QColor>

#include <json/value.h>

namespace market {

enum class OverviewList { Basic, Extended };

struct OverviewCell
{
    std::string text;
    QColor colour;
    bool operator==(const OverviewCell&) const = default;
};

// One cell of an overview row by the key table's rules; rowIndex counts from 0.
OverviewCell formatOverviewCell(const Json::Value& row, const std::string& key, int rowIndex, OverviewList list);

std::vector<OverviewCell> formatOverviewRow(const Json::Value& row, const std::vector<std::string>& keys, int rowIndex,
                                            OverviewList list);

} // namespace market
