#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "session/Records.h"
#include "market/core/OverviewCells.h"
#include "market/core/Pinyin.h"
#include "market/core/PriceAlerts.h"

namespace market {

// An overview reply turned into the rows of both lists, without touching a window.
struct OverviewReply
{
    bool parsed = false;
    bool success = false;
    int rowCount = 0;
    std::vector<std::vector<OverviewCell>> basicRows;
    std::vector<std::vector<OverviewCell>> extendedRows;
    std::vector<ItemEntry> items; // the first ItemTable::kCapacity rows
    std::vector<NameKeys> itemKeys; // of each item's name, for the finder
    std::vector<int> rowCodes;    // the item code of every row
    std::vector<ItemFigures> figures; // of every row, for the price alerts
};

// `wire` is the reply as received (wire code page).
OverviewReply parseOverviewReply(std::string_view wire, const std::vector<std::string>& basicKeys,
                                 const std::vector<std::string>& extendedKeys);

} // namespace market
