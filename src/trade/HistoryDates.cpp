#include "trade/HistoryDates.h"

#include <cstdio>

namespace trade {

QDate defaultHistoryStart(QDate today)
{
    const int month = today.month() == 1 ? 12 : today.month() - 1;
    const int year = today.month() == 1 ? today.year() - 1 : today.year();
    const QDate earlier(year, month, today.day());
    return earlier.isValid() ? earlier : today;
}

std::string paddedDateText(QDate date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    return text;
}

QueryDate historyQueryDate(QDate picked, QDate today)
{
    if (picked > today) {
        char text[32];
        std::snprintf(text, sizeof text, "%d-%d-%d", today.year(), today.month(), today.day());
        return {text, today};
    }
    return {paddedDateText(picked), picked};
}

} // namespace trade
