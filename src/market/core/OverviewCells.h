#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <QColor>

#include <json/value.h>

namespace market {

enum class OverviewList { Basic, Extended };

// The key of the row number column ("序").
inline constexpr const char* kRowNumberKey = "main_1";

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

// `shown` (indices into `rows`) in the order of column `column`, whose key is `key`: figures
// by value, other text by its code points, the dashes that stand for no figure last either
// way ("-" is a zero where the key's figure is signed); ties keep their order.
std::vector<std::size_t> sortOverviewRows(const std::vector<std::vector<OverviewCell>>& rows,
                                          std::vector<std::size_t> shown, std::size_t column, const std::string& key,
                                          bool descending);

} // namespace market
