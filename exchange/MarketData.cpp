#include "MarketData.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <random>

#include "Catalogue.h"

namespace exchange {
namespace {

constexpr std::size_t kMaxCandles = 1000;
constexpr int kHistoryDays = 5200;   // weekdays: about twenty years of daily candles
constexpr int kMinuteHistoryDays = 3; // days before today with one-minute bars

std::int64_t DayStart(std::int64_t t)
{
    return LocalMidnight(LocalDate(t));
}

long GmtOffset(std::int64_t t)
{
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return tm.tm_gmtoff;
}

// The trading minutes of a day, in local minutes of the day.
const std::vector<int>& SessionMinutes()
{
    static const std::vector<int> minutes = [] {
        std::vector<int> m;
        for (int x = 570; x < 690; ++x)
            m.push_back(x);
        for (int x = 810; x < 900; ++x)
            m.push_back(x);
        for (int x = 1170; x < 1260; ++x)
            m.push_back(x);
        return m;
    }();
    return minutes;
}

// Weekday midnights before the day starting at `today`, oldest first.
std::vector<std::int64_t> PastWeekdays(std::int64_t today, int count)
{
    std::vector<std::int64_t> days;
    days.reserve(count);
    const Date d = LocalDate(today);
    for (int back = 1; static_cast<int>(days.size()) < count; ++back) {
        std::tm tm{};
        tm.tm_year = d.year - 1900;
        tm.tm_mon = d.month - 1;
        tm.tm_mday = d.day - back;
        tm.tm_hour = 12; // noon: immune to DST shifts while normalising
        tm.tm_isdst = -1;
        const std::time_t noon = std::mktime(&tm);
        if (tm.tm_wday == 0 || tm.tm_wday == 6)
            continue;
        days.push_back(static_cast<std::int64_t>(noon) - 12 * 3600);
    }
    std::reverse(days.begin(), days.end());
    return days;
}

Cents Round(double yuanCents)
{
    return std::max<Cents>(1, static_cast<Cents>(std::llround(yuanCents)));
}

Candle Merge(const Candle& a, const Candle& b)
{
    Candle c = a;
    c.close = b.close;
    c.high = std::max(a.high, b.high);
    c.low = std::min(a.low, b.low);
    c.vol += b.vol;
    return c;
}

template <typename Key>
std::vector<Candle> Group(const std::vector<Candle>& source, Key key)
{
    std::vector<Candle> out;
    long long current = 0;
    for (const Candle& c : source) {
        const long long k = key(c.time);
        if (!out.empty() && k == current)
            out.back() = Merge(out.back(), c);
        else {
            out.push_back(c);
            current = k;
        }
    }
    return out;
}

Json::Value CandleJson(const Candle& c)
{
    Json::Value v(Json::objectValue);
    v["startPrice"] = ToYuan(c.open);
    v["endPrice"] = ToYuan(c.close);
    v["maxPrice"] = ToYuan(c.high);
    v["minPrice"] = ToYuan(c.low);
    v["time"] = static_cast<Json::Int64>(c.time);
    v["vol"] = static_cast<Json::Int64>(c.vol);
    return v;
}

double Percent(double part, double whole)
{
    return whole == 0 ? 0.0 : part / whole * 100.0;
}

} // namespace

int TimelineSlot(int m)
{
    if (m < 570)
        return 0;
    if (m < 690)
        return m - 570;
    if (m < 810)
        return 120 + (m - 690) / 4;
    if (m < 900)
        return 150 + (m - 810);
    if (m < 1170)
        return 240 + (m - 900) / 9;
    if (m < 1260)
        return 270 + (m - 1170);
    return 360;
}

MarketData::MarketData(std::uint64_t seed, std::int64_t now)
{
    m_dayStart = DayStart(now);
    const std::vector<std::int64_t> days = PastWeekdays(m_dayStart, kHistoryDays);
    for (const ItemInfo& item : Catalogue()) {
        History& h = m_history[item.code];
        h.daily.resize(days.size());
        for (std::size_t i = 0; i < days.size(); ++i)
            h.daily[i].time = days[i];
        generate(item.code, item.referencePrice, seed);
        ItemDay& d = m_days[item.code];
        d.prevClose = h.daily.empty() ? item.referencePrice : h.daily.back().close;
    }
    startDay(m_dayStart);
}

void MarketData::generate(int item, Cents reference, std::uint64_t seed)
{
    std::mt19937_64 rng(seed * 1000003ull + static_cast<std::uint64_t>(item));
    std::normal_distribution<double> daily(0.0, 0.016);
    std::normal_distribution<double> small(0.0, 0.004);
    std::uniform_int_distribution<int> volume(2000, 40000);
    History& h = m_history[item];
    const std::size_t n = h.daily.size();
    if (n == 0)
        return;
    const double ref = static_cast<double>(reference);
    std::vector<double> close(n);
    close[n - 1] = ref;
    for (std::size_t t = n - 1; t > 0; --t) {
        const double r = std::clamp(daily(rng), -0.09, 0.09);
        double prev = close[t] / std::exp(r);
        if (prev < ref / 4 || prev > ref * 4)
            prev = close[t] * std::exp(r);
        close[t - 1] = prev;
    }
    for (std::size_t t = 0; t < n; ++t) {
        Candle& c = h.daily[t];
        const double base = t == 0 ? close[0] : close[t - 1];
        const double open = base * std::exp(std::clamp(small(rng), -0.02, 0.02));
        c.open = Round(open);
        c.close = Round(close[t]);
        const double top = std::max(open, close[t]) * (1 + std::fabs(small(rng)));
        const double bottom = std::min(open, close[t]) * (1 - std::fabs(small(rng)));
        c.high = std::max({Round(std::min(top, base * 1.1)), c.open, c.close});
        c.low = std::min({Round(std::max(bottom, base * 0.9)), c.open, c.close});
        c.vol = volume(rng);
    }
    // The last days also get one-minute bars, and their daily candles are made of them.
    const std::vector<int>& session = SessionMinutes();
    const std::size_t m = session.size();
    std::normal_distribution<double> step(0.0, 0.0012);
    std::uniform_int_distribution<int> minuteVol(0, 160);
    for (std::size_t t = n > static_cast<std::size_t>(kMinuteHistoryDays) ? n - kMinuteHistoryDays : 0; t < n; ++t) {
        Candle& day = h.daily[t];
        const double open = static_cast<double>(day.open);
        const double closeP = static_cast<double>(day.close);
        std::vector<double> walk(m);
        double w = 0;
        for (std::size_t k = 0; k < m; ++k)
            walk[k] = (w += step(rng) * open);
        double prev = open;
        day.high = day.low = day.open;
        day.vol = 0;
        for (std::size_t k = 0; k < m; ++k) {
            const double frac = static_cast<double>(k + 1) / static_cast<double>(m);
            const double p = open + (closeP - open) * frac + walk[k] - walk[m - 1] * frac;
            Candle bar;
            bar.time = day.time + session[k] * 60;
            bar.open = Round(prev);
            bar.close = k + 1 == m ? day.close : Round(p);
            bar.high = std::max(bar.open, bar.close);
            bar.low = std::min(bar.open, bar.close);
            bar.vol = minuteVol(rng);
            day.high = std::max(day.high, bar.high);
            day.low = std::min(day.low, bar.low);
            day.vol += bar.vol;
            h.minutes.push_back(bar);
            prev = p;
        }
    }
}

void MarketData::startDay(std::int64_t dayStart)
{
    m_dayStart = dayStart;
    for (auto& [item, d] : m_days) {
        ItemDay fresh;
        fresh.dayStart = dayStart;
        fresh.prevClose = d.last > 0 ? d.last : d.prevClose;
        fresh.opening = fresh.prevClose;
        fresh.high = fresh.low = fresh.last = fresh.opening;
        d = std::move(fresh);
        m_history[item].todayMinutes.clear();
    }
}

void MarketData::advance(std::int64_t now)
{
    const std::int64_t start = DayStart(now);
    if (start <= m_dayStart)
        return;
    for (auto& [item, d] : m_days) {
        History& h = m_history[item];
        if (d.count > 0) {
            h.daily.push_back(todayCandle(item));
            h.minutes.insert(h.minutes.end(), h.todayMinutes.begin(), h.todayMinutes.end());
        }
    }
    startDay(start);
}

void MarketData::record(const Trade& trade)
{
    auto it = m_days.find(trade.item);
    if (it == m_days.end())
        return;
    ItemDay& d = it->second;
    if (trade.time < m_dayStart) {
        // Restored from an earlier day: only the closing price carries over.
        if (d.count == 0) {
            d.prevClose = d.opening = d.high = d.low = d.last = trade.price;
        }
        return;
    }
    if (d.count == 0)
        d.high = d.low = trade.price;
    d.high = std::max(d.high, trade.price);
    d.low = std::min(d.low, trade.price);
    d.last = trade.price;
    d.vol += trade.qty;
    d.amount += trade.price * trade.qty;
    d.newVol = trade.qty;
    ++d.count;
    (trade.aggressor == Side::Buy ? d.outVol : d.inVol) += trade.qty;
    d.ticks.push_back({trade.time, trade.price, trade.qty, trade.aggressor});

    std::vector<Candle>& bars = m_history[trade.item].todayMinutes;
    const std::int64_t minute = trade.time - trade.time % 60;
    if (!bars.empty() && bars.back().time == minute) {
        bars.back() = Merge(bars.back(), {minute, trade.price, trade.price, trade.price, trade.price, trade.qty});
    } else {
        bars.push_back({minute, trade.price, trade.price, trade.price, trade.price, trade.qty});
    }
}

const ItemDay& MarketData::day(int item) const
{
    static const ItemDay none;
    auto it = m_days.find(item);
    return it == m_days.end() ? none : it->second;
}

Candle MarketData::todayCandle(int item) const
{
    const ItemDay& d = day(item);
    Candle c;
    c.time = d.dayStart;
    c.open = d.count > 0 ? d.ticks.front().price : d.opening;
    c.close = d.last;
    c.high = d.high;
    c.low = d.low;
    c.vol = d.vol;
    return c;
}

std::vector<Candle> MarketData::candleSeries(int item, int period) const
{
    auto hit = m_history.find(item);
    if (hit == m_history.end() || period < 1 || period > 12)
        return {};
    const History& h = hit->second;
    const ItemDay& d = day(item);
    std::vector<Candle> out;
    if (period == 1) {
        Cents prev = d.opening;
        for (const Tick& t : d.ticks) {
            out.push_back({t.time, prev, t.price, std::max(prev, t.price), std::min(prev, t.price), t.vol});
            prev = t.price;
        }
    } else if (period <= 7) {
        static const int kMinutes[] = {1, 5, 15, 30, 60, 120};
        const std::int64_t span = kMinutes[period - 2] * 60;
        std::vector<Candle> source = h.minutes;
        source.insert(source.end(), h.todayMinutes.begin(), h.todayMinutes.end());
        out = Group(source, [span](std::int64_t t) { return (t + GmtOffset(t)) / span; });
    } else {
        std::vector<Candle> days = h.daily;
        days.push_back(todayCandle(item));
        switch (period) {
        case 8: out = std::move(days); break;
        case 9:
            out = Group(days, [](std::int64_t t) { return ((t + GmtOffset(t)) / 86400 + 3) / 7; });
            break;
        case 10:
            out = Group(days, [](std::int64_t t) {
                const Date x = LocalDate(t);
                return x.year * 12 + x.month;
            });
            break;
        case 11:
            out = Group(days, [](std::int64_t t) {
                const Date x = LocalDate(t);
                return x.year * 4 + (x.month - 1) / 3;
            });
            break;
        default: out = Group(days, [](std::int64_t t) { return LocalDate(t).year; }); break;
        }
    }
    if (out.size() > kMaxCandles)
        out.erase(out.begin(), out.end() - kMaxCandles);
    return out;
}

Json::Value MarketData::candles(int item, int period) const
{
    Json::Value list(Json::arrayValue);
    for (const Candle& c : candleSeries(item, period))
        list.append(CandleJson(c));
    return list;
}

Json::Value MarketData::quote(int item, const Engine& engine) const
{
    const ItemDay& d = day(item);
    const ItemInfo* info = FindItem(item);
    const std::vector<Level> bids = engine.bids(item, 5);
    const std::vector<Level> asks = engine.asks(item, 5);
    Json::Value q(Json::objectValue);
    q["stockId"] = item;
    q["stockName"] = info ? info->name : std::string();
    std::int64_t bidQty = 0, askQty = 0;
    for (int i = 0; i < 5; ++i) {
        const std::string n = std::to_string(i + 1);
        const Level b = i < static_cast<int>(bids.size()) ? bids[i] : Level{};
        const Level a = i < static_cast<int>(asks.size()) ? asks[i] : Level{};
        q["buyPrice" + n] = ToYuan(b.price);
        q["buyVol" + n] = static_cast<Json::Int64>(b.qty);
        q["sellPrice" + n] = ToYuan(a.price);
        q["sellVol" + n] = static_cast<Json::Int64>(a.qty);
        bidQty += b.qty;
        askQty += a.qty;
    }
    const std::int64_t inventory = info ? info->issued : 0;
    q["entrustPCT"] = Percent(static_cast<double>(bidQty - askQty), static_cast<double>(bidQty + askQty));
    q["entrustDIF"] = static_cast<double>(bidQty - askQty);
    q["latest"] = ToYuan(d.last);
    q["change"] = ToYuan(d.last - d.opening);
    q["increase"] = Percent(static_cast<double>(d.last - d.opening), static_cast<double>(d.opening));
    q["opening"] = ToYuan(d.opening);
    q["max"] = ToYuan(d.high);
    q["min"] = ToYuan(d.low);
    q["vol"] = static_cast<Json::Int64>(d.vol);
    q["total"] = ToYuan(d.amount);
    q["outVol"] = static_cast<Json::Int64>(d.outVol);
    q["inVol"] = static_cast<Json::Int64>(d.inVol);
    q["newVol"] = static_cast<Json::Int64>(d.newVol);
    q["limitUp"] = ToYuan(d.limitUp());
    q["limitDown"] = ToYuan(d.limitDown());
    q["turnover"] = Percent(static_cast<double>(d.vol), static_cast<double>(inventory));
    q["inventory"] = static_cast<Json::Int64>(inventory);
    q["marketValue"] = ToYuan(d.last) * static_cast<double>(inventory);
    Json::Value list(Json::arrayValue);
    list.append(q);
    return list;
}

Json::Value MarketData::ticks(int item, std::size_t latest) const
{
    const ItemDay& d = day(item);
    Json::Value list(Json::arrayValue);
    auto add = [&](const Tick& t) {
        Json::Value v(Json::objectValue);
        v["time"] = static_cast<Json::Int64>(t.time);
        v["price"] = ToYuan(t.price);
        v["vol"] = static_cast<Json::Int64>(t.vol);
        v["direction"] = t.aggressor == Side::Buy ? 0 : 1;
        list.append(v);
    };
    // The whole day newest first too: the terminal's tick list fills its columns in reply
    // order and clips the rest, so oldest first showed only the morning's trades.
    const std::size_t count = latest == 0 ? d.ticks.size() : std::min(latest, d.ticks.size());
    for (std::size_t i = 0; i < count; ++i)
        add(d.ticks[d.ticks.size() - 1 - i]);
    return list;
}

Json::Value MarketData::priceDetail(int item) const
{
    std::map<Cents, std::int64_t, std::greater<>> byPrice;
    for (const Tick& t : day(item).ticks)
        byPrice[t.price] += t.vol;
    Json::Value list(Json::arrayValue);
    for (const auto& [price, vol] : byPrice) {
        Json::Value v(Json::objectValue);
        v["price"] = ToYuan(price);
        v["vol"] = static_cast<Json::Int64>(vol);
        list.append(v);
    }
    return list;
}

Json::Value MarketData::timeline(int item, std::int64_t now) const
{
    const ItemDay& d = day(item);
    // With a session clock the day's minutes run from the session's opening at 09:30.
    const std::int64_t opening = std::max(m_sessionStart, d.dayStart);
    auto minuteOf = [&](std::int64_t t) {
        if (m_sessionStart == 0)
            return MinuteOfDay(t);
        return t < opening ? 0 : static_cast<int>(std::min<std::int64_t>(570 + (t - opening) / 60, 1439));
    };
    const int current = now < d.dayStart ? 0 : now >= d.dayStart + 86400 ? 360 : TimelineSlot(minuteOf(now));
    std::vector<std::int64_t> vol(361, 0);
    std::vector<Cents> last(361, 0);
    std::vector<Cents> amount(361, 0);
    for (const Tick& t : d.ticks) {
        const int s = TimelineSlot(minuteOf(t.time));
        vol[s] += t.vol;
        last[s] = t.price;
        amount[s] += t.price * t.vol;
    }
    Json::Value list(Json::arrayValue);
    Cents price = d.opening;
    std::int64_t cumVol = 0;
    Cents cumAmount = 0;
    for (int s = 0; s <= current; ++s) {
        if (vol[s] > 0)
            price = last[s];
        cumVol += vol[s];
        cumAmount += amount[s];
        Json::Value v(Json::objectValue);
        v["price"] = ToYuan(price);
        v["averagePrice"] = cumVol > 0 ? static_cast<double>(cumAmount) / static_cast<double>(cumVol) / 100.0
                                       : ToYuan(d.opening);
        v["vol"] = static_cast<Json::Int64>(vol[s]);
        list.append(v);
    }
    return list;
}

Json::Value MarketData::overviewRow(int item, const Engine& engine, int rowNumber) const
{
    const ItemDay& d = day(item);
    const ItemInfo* info = FindItem(item);
    const std::int64_t inventory = info ? info->issued : 0;
    const std::vector<Level> bids = engine.bids(item, 5);
    const std::vector<Level> asks = engine.asks(item, 5);
    std::int64_t bidQty = 0, askQty = 0, bidAll = 0, askAll = 0;
    for (const Level& l : bids)
        bidQty += l.qty;
    for (const Level& l : asks)
        askQty += l.qty;
    for (const Level& l : engine.bids(item, 1000))
        bidAll += l.qty;
    for (const Level& l : engine.asks(item, 1000))
        askAll += l.qty;
    // Price five minutes before the last tick, for the short-term change.
    Cents fiveAgo = d.opening;
    if (!d.ticks.empty()) {
        const std::int64_t cutoff = d.ticks.back().time - 300;
        for (const Tick& t : d.ticks) {
            if (t.time > cutoff)
                break;
            fiveAgo = t.price;
        }
    }
    const double ref = static_cast<double>(d.prevClose);
    Json::Value r(Json::objectValue);
    r["main_1"] = rowNumber;
    r["main_2"] = d.last > d.prevClose ? -1 : d.last < d.prevClose ? 1 : 0;
    r["main_3"] = item;
    r["main_4"] = info ? info->name : std::string();
    r["main_5"] = ToYuan(d.prevClose);
    r["main_6"] = ToYuan(d.opening);
    r["main_7"] = ToYuan(d.high);
    r["main_8"] = ToYuan(d.low);
    r["main_9"] = ToYuan(d.last);
    r["main_10"] = static_cast<Json::Int64>(d.vol);
    r["main_11"] = ToYuan(d.amount) / 10000.0;
    r["main_12"] = static_cast<Json::Int64>(d.newVol);
    r["main_13"] = static_cast<Json::Int64>(d.outVol);
    r["main_14"] = ToYuan(bids.empty() ? 0 : bids.front().price);
    r["main_15"] = ToYuan(asks.empty() ? 0 : asks.front().price);
    r["main_16"] = static_cast<Json::Int64>(d.inVol);
    r["main_17"] = static_cast<Json::Int64>(inventory);
    r["main_18"] = Percent(static_cast<double>(d.vol), static_cast<double>(inventory));
    r["main_19"] = ToYuan(d.last) * static_cast<double>(inventory) / 10000.0;
    r["main_20"] = Percent(static_cast<double>(d.last - d.prevClose), ref);
    r["main_21"] = d.vol > 0 ? static_cast<double>(d.amount) / static_cast<double>(d.vol) / 100.0 : ToYuan(d.last);
    r["main_22"] = Percent(static_cast<double>(d.high - d.low), ref);
    r["main_23"] = Percent(static_cast<double>(d.last - fiveAgo), static_cast<double>(fiveAgo));
    r["main_24"] = ToYuan(d.last - d.prevClose);
    r["main_25"] = Percent(static_cast<double>(bidQty - askQty), static_cast<double>(bidQty + askQty));
    r["main_26"] = static_cast<double>(bidQty - askQty);
    for (int i = 0; i < 5; ++i) {
        const Level a = i < static_cast<int>(asks.size()) ? asks[i] : Level{};
        const Level b = i < static_cast<int>(bids.size()) ? bids[i] : Level{};
        r["extend_" + std::to_string(1 + i)] = ToYuan(a.price);
        r["extend_" + std::to_string(6 + i)] = static_cast<Json::Int64>(a.qty);
        r["extend_" + std::to_string(11 + i)] = ToYuan(b.price);
        r["extend_" + std::to_string(16 + i)] = static_cast<Json::Int64>(b.qty);
    }
    r["extend_21"] = static_cast<Json::Int64>(d.count);
    r["extend_22"] = ToYuan(d.limitUp());
    r["extend_23"] = ToYuan(d.limitDown());
    r["futures_1"] = static_cast<Json::Int64>(bidAll);
    r["futures_2"] = static_cast<Json::Int64>(askAll);
    r["futures_3"] = static_cast<Json::Int64>(bidAll - askAll);
    return r;
}

} // namespace exchange
