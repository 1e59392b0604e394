#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "market/ColumnFile.h"

namespace market {

inline constexpr int kMaxOverviewColumns = 80;

struct OverviewColumn
{
    std::string caption;
    std::string key;
    int width = 65;
    bool operator==(const OverviewColumn&) const = default;
};

// The columns of the two overview lists in display order, each with the key that fills it.
struct OverviewColumns
{
    std::vector<OverviewColumn> basic;
    std::vector<OverviewColumn> extended;
    int tabCount = 0; // categories in the current file; the set-up tab follows them

    std::vector<std::string> basicKeys() const;
    std::vector<std::string> extendedKeys() const;
};

int overviewColumnWidth(std::string_view caption);

// No document (file missing or not JSON): no columns and no overview tabs.
OverviewColumns buildOverviewColumns(const ColumnDocument* current);

} // namespace market
