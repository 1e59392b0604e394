#include "trade/core/HistoryDates.h"

namespace trade {

QDate historyStartDate(const QDate& today)
{
    // The same day of the month before; in January there is no month 0, and a day the
    // shorter month lacks does not exist either: the picker then starts at today.
    const QDate earlier(today.year(), today.month() - 1, today.day());
    return earlier.isValid() ? earlier : today;
}

HistoryDate historyDate(const QDate& picked, const QDate& today)
{
    if (picked > today)
        return {QString::asprintf("%d-%d-%d", today.year(), today.month(), today.day()), true};
    return {QString::asprintf("%04d-%02d-%02d", picked.year(), picked.month(), picked.day()), false};
}

} // namespace trade
