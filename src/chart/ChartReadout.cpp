#include "chart/ChartReadout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chart/ChartText.h"

namespace chart {
namespace {

constexpr const char* kMissing = "--";

Colour toneAgainst(double value, double reference)
{
    if (reference <= 0 || value == reference)
        return kReadoutNeutral;
    return value > reference ? kRiseColour : kFallColour;
}

ReadoutRow price(const char* label, double value, double reference)
{
    return {label, fixedText(value, 2), toneAgainst(value, reference)};
}

ReadoutRow percent(const char* label, double part, double whole, bool signedTone)
{
    if (whole <= 0 || !std::isfinite(part))
        return {label, kMissing};
    const double p = part / whole * 100;
    const Colour tone = !signedTone || p == 0 ? kReadoutNeutral : (p > 0 ? kRiseColour : kFallColour);
    return {label, fixedText(p, 2) + "%", tone};
}

std::string dateText(std::time_t t, bool withTime)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    if (withTime)
        std::snprintf(buf, sizeof buf, "%02d/%02d %02d:%02d", tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min);
    else
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return buf;
}

} // namespace

bool isIntradayPeriod(int periodCode)
{
    return periodCode >= 1 && periodCode <= 7;
}

int timelineMinuteOfSlot(int slot)
{
    slot = std::clamp(slot, 0, 360);
    if (slot <= 120)
        return 570 + slot; // 09:30..11:30
    if (slot <= 150)
        return 690 + (slot - 120) * 4; // the break to 13:30
    if (slot <= 240)
        return 810 + (slot - 150); // 13:30..15:00
    if (slot <= 270)
        return 900 + (slot - 240) * 9; // the break to 19:30
    return 1170 + (slot - 270); // 19:30..21:00
}

std::vector<ReadoutRow> candleReadout(const std::vector<CandleRecord>& records, int index, int periodCode)
{
    if (index < 0 || std::size_t(index) >= records.size())
        return {};
    const CandleRecord& c = records[std::size_t(index)];
    // The first candle of the reply has no previous close: what counts from it is missing.
    const double previous = index > 0 ? records[std::size_t(index) - 1].close : 0;
    std::vector<ReadoutRow> rows;
    rows.push_back({"日期:", dateText(c.time, isIntradayPeriod(periodCode))});
    rows.push_back(price("开盘:", c.open, previous));
    rows.push_back(price("最高:", c.high, previous));
    rows.push_back(price("最低:", c.low, previous));
    rows.push_back(price("收盘:", c.close, previous));
    rows.push_back({"成交:", std::to_string(c.vol)});
    rows.push_back({"金额:", c.amount ? fixedText(*c.amount, 2) : kMissing});
    rows.push_back(percent("涨跌幅:", c.close - previous, previous, true));
    rows.push_back({"换手:", c.turnover ? fixedText(*c.turnover, 2) + "%" : kMissing});
    rows.push_back(percent("振幅:", c.high - c.low, previous, false));
    return rows;
}

std::vector<ReadoutRow> timelineReadout(const std::vector<TimelineRecord>& records, int index,
                                        double previousClose, std::time_t day)
{
    if (index < 0 || std::size_t(index) >= records.size())
        return {};
    const TimelineRecord& m = records[std::size_t(index)];
    const int minute = timelineMinuteOfSlot(index);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", minute / 60, minute % 60);
    const bool known = previousClose > 0;
    std::vector<ReadoutRow> rows;
    rows.push_back({"日期:", dateText(day, false)});
    rows.push_back({"时间:", time});
    rows.push_back(price("最新:", m.price, previousClose));
    rows.push_back(known ? ReadoutRow{"涨跌:", fixedText(m.price - previousClose, 2), toneAgainst(m.price, previousClose)}
                         : ReadoutRow{"涨跌:", kMissing});
    rows.push_back(percent("涨幅:", m.price - previousClose, previousClose, true));
    rows.push_back(price("均价:", m.averagePrice, previousClose));
    rows.push_back({"申报量:", std::to_string(m.vol)});
    return rows;
}

} // namespace chart
