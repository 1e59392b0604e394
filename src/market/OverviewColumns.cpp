#include "market/OverviewColumns.h"

#include <algorithm>

namespace market {

namespace {

std::vector<std::string> keysOf(const std::vector<OverviewColumn>& columns)
{
    std::vector<std::string> keys;
    keys.reserve(columns.size());
    for (const OverviewColumn& c : columns)
        keys.push_back(c.key);
    return keys;
}

OverviewColumn makeColumn(const ColumnEntry& e)
{
    return {e.name, e.title, overviewColumnWidth(e.name)};
}

// The extended list puts "序" first and "代码"/"名称" at the third place wherever the file
// has them; the inserts run in file order, as a list's insert-at-position does.
int extendedPosition(const std::string& caption, int j)
{
    if (caption == "序")
        return 0;
    if (caption == "名称" || caption == "代码")
        return 2;
    return j;
}

} // namespace

std::vector<std::string> OverviewColumns::basicKeys() const
{
    return keysOf(basic);
}

std::vector<std::string> OverviewColumns::extendedKeys() const
{
    return keysOf(extended);
}

int overviewColumnWidth(std::string_view caption)
{
    if (caption == "名称")
        return 100;
    if (caption == "代码")
        return 80;
    if (caption == "序")
        return 40;
    if (caption == "总手" || caption == "总金额(w)")
        return 110;
    if (caption == "箭")
        return 30;
    return 65;
}

OverviewColumns buildOverviewColumns(const ColumnDocument* current)
{
    OverviewColumns out;
    if (!current)
        return out;
    out.tabCount = static_cast<int>(current->categories.size());
    if (const ColumnCategory* basic = current->find(kBasicCategory))
        for (const ColumnEntry& e : basic->columns)
            if (out.basic.size() < static_cast<std::size_t>(kMaxOverviewColumns))
                out.basic.push_back(makeColumn(e));
    if (const ColumnCategory* extended = current->find(kExtendedCategory)) {
        int j = 0;
        for (const ColumnEntry& e : extended->columns) {
            if (out.extended.size() >= static_cast<std::size_t>(kMaxOverviewColumns))
                break;
            const int at = std::clamp(extendedPosition(e.name, j), 0, static_cast<int>(out.extended.size()));
            out.extended.insert(out.extended.begin() + at, makeColumn(e));
            ++j;
        }
    }
    return out;
}

} // namespace market
