#include "market/core/TickReplies.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "client/ApiReply.h"
#include "client/Numbers.h"

namespace market {

namespace {

const Json::Value* inforArray(const client::ApiReply& reply)
{
    return reply.infor.isArray() ? &reply.infor : nullptr;
}

} // namespace

std::optional<std::vector<Tick>> parseTicks(std::string_view wire)
{
    const client::ApiReply reply = client::ApiReply::fromWire(wire);
    if (!reply.parsed)
        return std::nullopt;
    std::vector<Tick> ticks;
    if (const Json::Value* infor = inforArray(reply))
        for (const Json::Value& t : *infor)
            ticks.push_back({client::jsonReal(t, "price"), client::jsonInt(t, "vol"), client::JsonInt64(t, "time")});
    return ticks;
}

std::optional<std::vector<PriceRow>> parsePriceRows(std::string_view wire)
{
    const client::ApiReply reply = client::ApiReply::fromWire(wire);
    if (!reply.parsed)
        return std::nullopt;
    std::vector<PriceRow> rows;
    if (const Json::Value* infor = inforArray(reply))
        for (const Json::Value& r : *infor)
            rows.push_back({client::jsonReal(r, "price"), client::jsonInt(r, "vol")});
    return rows;
}

int priceTableFullScale(const std::vector<PriceRow>& rows)
{
    int full = 0;
    for (const PriceRow& r : rows)
        full = std::max(full, r.volume);
    return full;
}

std::string tickCountText(int count)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "分时成交列表（共%d笔）", count);
    return buf;
}

std::string priceTableTitle(int fullScale)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "分价表(满格%d手)）", fullScale);
    return buf;
}

std::string tickTimeText(std::int64_t unixSeconds)
{
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return "00:00:00";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

std::string tickPriceText(double price)
{
    return client::fixedDecimals(price, 2);
}

TickGrid tickGridLayout(int width, int height)
{
    TickGrid grid;
    grid.columns = std::max(1, width / 200);
    grid.columnWidth = std::max(0, width) / grid.columns;
    grid.rowsPerColumn = std::max(0, height) / 28;
    return grid;
}

std::optional<TickCellBoxes> tickCellPlace(const TickGrid& grid, int index)
{
    // A window lower than one row has no place for any tick (and nothing to divide by).
    if (grid.rowsPerColumn <= 0 || index < 0)
        return std::nullopt;
    const int column = index / grid.rowsPerColumn;
    if (column >= grid.columns)
        return std::nullopt;
    const int row = index % grid.rowsPerColumn;
    const int x0 = column * grid.columnWidth;
    const int t = grid.columnWidth / 3;
    const int top = 30 + 27 * row;
    const int bottom = 57 + 27 * row;
    auto box = [&](int left, int right) { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); };
    return TickCellBoxes{box(x0 + 15, x0 + t), box(x0 + t, x0 + 2 * t), box(x0 + 2 * t, x0 + grid.columnWidth - 5)};
}

} // namespace market
