#include "trade/HistoryDates.h"

namespace trade {

QDate historyStartDate(const QDate& today)
{
    const QDate earlier = today.month() == 1 ? QDate(today.year() - 1, 12, today.day())
                                             : QDate(today.year(), today.month() - 1, today.day());
    return earlier.isValid() ? earlier : today;
}

HistoryDate historyDate(const QDate& picked, const QDate& today)
{
    if (picked > today)
        return {QString::asprintf("%d-%d-%d", today.year(), today.month(), today.day()), true};
    return {QString::asprintf("%04d-%02d-%02d", picked.year(), picked.month(), picked.day()), false};
}

} // namespace trade
