#include "chart/TimeAxis.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "chart/ChartReadout.h"

namespace chart {
namespace {

struct Placed
{
    int left = 0;
    int right = 0;
};

std::tm localOf(std::int32_t t)
{
    const std::time_t time = t;
    std::tm tm{};
    localtime_r(&time, &tm);
    return tm;
}

std::string format(const std::tm& tm, bool intraday, bool changed)
{
    char buf[32];
    if (intraday && !changed)
        std::snprintf(buf, sizeof buf, "%02d:%02d", tm.tm_hour, tm.tm_min);
    else if (intraday || !changed)
        std::snprintf(buf, sizeof buf, "%02d/%02d", tm.tm_mon + 1, tm.tm_mday);
    else
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return buf;
}

} // namespace

std::vector<TimeLabel> candleTimeLabels(const std::vector<std::int32_t>& times, const TimeAxisFrame& frame,
                                        int periodCode, const std::function<int(std::string_view)>& textWidth)
{
    std::vector<TimeLabel> labels;
    if (frame.slotWidth <= 0 || frame.plotWidth <= 0 || frame.first < 0)
        return labels;
    const bool intraday = isIntradayPeriod(periodCode);
    const int count = int(times.size());
    const int end = std::min(count, frame.first + frame.plotWidth / frame.slotWidth);
    if (end <= frame.first)
        return labels;
    const int regularWidth = textWidth(intraday ? "00:00" : "00/00") + frame.gap;
    const int every = std::max(1, (regularWidth + frame.slotWidth - 1) / frame.slotWidth);

    // What changes at candle i against the candle before it: the year, or for intraday
    // candles the day.
    std::vector<std::string> texts(std::size_t(end - frame.first));
    std::vector<bool> marks(texts.size());
    std::tm previous = frame.first > 0 ? localOf(times[std::size_t(frame.first - 1)]) : std::tm{};
    for (int i = frame.first; i < end; ++i) {
        const std::tm tm = localOf(times[std::size_t(i)]);
        const bool changed = i > 0 && (tm.tm_year != previous.tm_year || (intraday && tm.tm_yday != previous.tm_yday));
        texts[std::size_t(i - frame.first)] = format(tm, intraday, changed);
        marks[std::size_t(i - frame.first)] = changed;
        previous = tm;
    }

    std::vector<Placed> placed;
    std::vector<TimeLabel> chosen;
    auto tryPlace = [&](int i) {
        const std::string& text = texts[std::size_t(i - frame.first)];
        const int left = (i - frame.first) * frame.slotWidth;
        const int right = left + textWidth(text);
        if (right > frame.plotWidth)
            return;
        for (const Placed& p : placed)
            if (left < p.right + frame.gap && p.left < right + frame.gap)
                return;
        placed.push_back({left, right});
        chosen.push_back({i, text});
    };
    // The changes first, the oldest of them first, then the regular beats between them.
    for (int i = frame.first; i < end; ++i)
        if (marks[std::size_t(i - frame.first)])
            tryPlace(i);
    for (int i = frame.first; i < end; ++i)
        if (i % every == 0 && !marks[std::size_t(i - frame.first)])
            tryPlace(i);
    std::sort(chosen.begin(), chosen.end(), [](const TimeLabel& a, const TimeLabel& b) { return a.index < b.index; });
    return chosen;
}

} // namespace chart
