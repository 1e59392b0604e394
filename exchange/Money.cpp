#include "Money.h"

#include <cstdio>
#include <ctime>

namespace exchange {

std::optional<Cents> ParseYuan(std::string_view text)
{
    if (text.empty() || text.size() > 16)
        return std::nullopt;
    Cents whole = 0;
    std::size_t i = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits)
        whole = whole * 10 + (text[i] - '0');
    Cents fraction = 0;
    int decimals = 0;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (++decimals > 2)
                return std::nullopt;
            fraction = fraction * 10 + (text[i] - '0');
        }
    }
    if (i != text.size() || (digits == 0 && decimals == 0) || digits > 11)
        return std::nullopt;
    if (decimals == 1)
        fraction *= 10;
    return whole * 100 + fraction;
}

std::optional<std::int64_t> ParseQuantity(std::string_view text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

double ToYuan(Cents cents)
{
    return static_cast<double>(cents) / 100.0;
}

std::string YuanText(Cents cents)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", cents < 0 ? "-" : "", static_cast<long long>((cents < 0 ? -cents : cents) / 100),
                  static_cast<long long>((cents < 0 ? -cents : cents) % 100));
    return buf;
}

std::optional<Date> ParseDate(std::string_view text)
{
    int parts[3] = {0, 0, 0};
    int index = 0;
    int digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits > 4)
                return std::nullopt;
            parts[index] = parts[index] * 10 + (c - '0');
        } else if (c == '-' && digits > 0 && index < 2) {
            ++index;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (index != 2 || digits == 0)
        return std::nullopt;
    Date d{parts[0], parts[1], parts[2]};
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1970 || d.year > 2999 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > kDays[d.month - 1])
        return std::nullopt;
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    if (d.month == 2 && d.day == 29 && !leap)
        return std::nullopt;
    return d;
}

std::int64_t LocalMidnight(const Date& date)
{
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

Date LocalDate(std::int64_t unixSeconds)
{
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

int MinuteOfDay(std::int64_t unixSeconds)
{
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_hour * 60 + tm.tm_min;
}

} // namespace exchange
