#pragma once

#include <span>
#include <string>

#include "Money.h"

namespace exchange {

// One listed lot of wine.
struct ItemInfo
{
    int code = 0;
    std::string name;        // UTF-8
    Cents referencePrice = 0; // closing price the generated history ends on
    std::int64_t issued = 0;  // units in existence, all holders together
};

std::span<const ItemInfo> Catalogue();
const ItemInfo* FindItem(int code);

inline constexpr int kMainItem = 9160001;

} // namespace exchange
