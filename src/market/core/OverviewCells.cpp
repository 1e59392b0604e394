#include "market/core/OverviewCells.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "client/ApiReply.h"
#include "client/Numbers.h"
#include "market/core/MarketColours.h"

namespace market {

namespace {

enum class Kind { Reference, Signed, VersusReference, Amount, Name, RowNumber, Integer, Arrow, Plain };

Kind kindOf(const std::string& key)
{
    static const std::set<std::string> signedKeys{"main_20", "main_22", "main_23", "main_24", "main_25", "main_26"};
    static const std::set<std::string> versusReference{
        "main_6",    "main_7",    "main_8",    "main_9",    "main_14",   "main_15",   "extend_1",  "extend_2",
        "extend_3",  "extend_4",  "extend_5",  "extend_11", "extend_12", "extend_13", "extend_14", "extend_15",
        "extend_22", "extend_23"};
    static const std::set<std::string> integers{
        "main_3",    "main_10",   "main_12",   "main_13",   "main_16",   "main_17",   "extend_6",  "extend_7",
        "extend_8",  "extend_9",  "extend_10", "extend_16", "extend_17", "extend_18", "extend_19", "extend_20",
        "extend_21", "futures_1", "futures_2", "futures_3"};
    if (key == "main_5")
        return Kind::Reference;
    if (key == "main_11")
        return Kind::Amount;
    if (key == "main_4")
        return Kind::Name;
    if (key == kRowNumberKey)
        return Kind::RowNumber;
    if (key == "main_2")
        return Kind::Arrow;
    if (signedKeys.count(key))
        return Kind::Signed;
    if (versusReference.count(key))
        return Kind::VersusReference;
    if (integers.count(key))
        return Kind::Integer;
    return Kind::Plain;
}

bool nearZero(double v)
{
    return v > -0.00001 && v < 0.00001;
}

std::string money(double v)
{
    if (nearZero(v))
        return "-";
    return client::fixedDecimals(v, 2);
}

std::string decimal(long long v)
{
    return std::to_string(v);
}

} // namespace

OverviewCell formatOverviewCell(const Json::Value& row, const std::string& key, int rowIndex, OverviewList list)
{
    const char* k = key.c_str();
    switch (kindOf(key)) {
    case Kind::Reference:
    case Kind::Plain:
        return {money(client::jsonReal(row, k)), kLevelColour};
    case Kind::Signed: {
        const double v = client::jsonReal(row, k);
        return {money(v), nearZero(v) ? kLevelColour : (v > 0 ? kRiseColour : kFallColour)};
    }
    case Kind::VersusReference: {
        const double v = client::jsonReal(row, k);
        const double reference = client::jsonReal(row, "main_5");
        QColor colour = kLevelColour;
        if (!nearZero(v) && v > reference)
            colour = kRiseColour;
        else if (!nearZero(v) && v < reference)
            colour = kFallColour;
        return {money(v), colour};
    }
    case Kind::Amount: {
        const double v = client::jsonReal(row, k);
        const QColor colour = list == OverviewList::Basic ? kRiseColour : kVolumeColour;
        return {money(v), nearZero(v) ? kLevelColour : colour};
    }
    case Kind::Name:
        return {client::jsonText(row, k), kNameColour};
    case Kind::RowNumber:
        return {decimal(rowIndex + 1), kVolumeColour};
    case Kind::Integer: {
        const long long v = client::JsonInt64(row, k);
        return {v == 0 ? "-" : decimal(v), kVolumeColour};
    }
    case Kind::Arrow: {
        const long long v = client::JsonInt64(row, k);
        if (v > 0)
            return {"↓", kFallColour};
        if (v < 0)
            return {"↑", kRiseColour};
        return {list == OverviewList::Basic ? "--" : "-", kLevelColour};
    }
    }
    return {"-", kLevelColour};
}

std::vector<OverviewCell> formatOverviewRow(const Json::Value& row, const std::vector<std::string>& keys, int rowIndex,
                                            OverviewList list)
{
    std::vector<OverviewCell> cells;
    cells.reserve(keys.size());
    for (const std::string& key : keys)
        cells.push_back(formatOverviewCell(row, key, rowIndex, list));
    return cells;
}

std::vector<std::size_t> sortOverviewRows(const std::vector<std::vector<OverviewCell>>& rows,
                                          std::vector<std::size_t> shown, std::size_t column, const std::string& key,
                                          bool descending)
{
    enum Group { Figure, Text, NoFigure };
    struct Rank
    {
        Group group = NoFigure;
        double figure = 0;
        const std::string* text = nullptr;
    };
    const bool signedFigure = kindOf(key) == Kind::Signed;
    auto rankOf = [&](std::size_t row) {
        Rank rank;
        if (row >= rows.size() || column >= rows[row].size())
            return rank;
        const std::string& text = rows[row][column].text;
        if (text == "--" || (text == "-" && !signedFigure))
            return rank;
        if (text == "-") {
            rank.group = Figure;
            return rank;
        }
        const char* end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, rank.figure);
        rank.group = error == std::errc() && stop == end ? Figure : Text;
        rank.text = &text;
        return rank;
    };
    std::vector<std::pair<Rank, std::size_t>> ranked;
    ranked.reserve(shown.size());
    for (const std::size_t row : shown)
        ranked.emplace_back(rankOf(row), row);
    std::stable_sort(ranked.begin(), ranked.end(), [descending](const auto& a, const auto& b) {
        const Rank& x = a.first;
        const Rank& y = b.first;
        if (x.group != y.group)
            return x.group < y.group;
        if (x.group == Figure)
            return descending ? x.figure > y.figure : x.figure < y.figure;
        if (x.group == Text)
            return descending ? *x.text > *y.text : *x.text < *y.text;
        return false;
    });
    for (std::size_t i = 0; i < ranked.size(); ++i)
        shown[i] = ranked[i].second;
    return shown;
}

} // namespace market
