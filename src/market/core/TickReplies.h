#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QRect>

namespace market {

struct Tick
{
    double price = 0.0;
    int volume = 0;
    std::int64_t time = 0; // Unix seconds
};

struct PriceRow
{
    double price = 0.0;
    int volume = 0;
};

// nullopt when the reply is not JSON; a reply without an "infor" array has no rows.
std::optional<std::vector<Tick>> parseTicks(std::string_view wire);
std::optional<std::vector<PriceRow>> parsePriceRows(std::string_view wire);

// The largest volume of the table, 0 without rows.
int priceTableFullScale(const std::vector<PriceRow>& rows);

std::string tickCountText(int count);
std::string priceTableTitle(int fullScale);
std::string tickTimeText(std::int64_t unixSeconds); // local time "%02d:%02d:%02d"
std::string tickPriceText(double price);            // "%.2f"

// The tick grid of an area `width` wide and `height` high (the window less its tab band).
struct TickGrid
{
    int columns = 1;
    int columnWidth = 0;
    int rowsPerColumn = 0;
};
TickGrid tickGridLayout(int width, int height);

struct TickCellBoxes
{
    QRect time;
    QRect price;
    QRect volume;
};
// Where tick `index` goes; nullopt past the last column (or when no row fits).
std::optional<TickCellBoxes> tickCellPlace(const TickGrid& grid, int index);

} // namespace market
