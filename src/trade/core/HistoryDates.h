#pragma once

#include <QDate>
#include <QString>

// The date rules of the two history windows (trades and cash): where the pickers start and
// what a picked date is sent as.
namespace trade {

// The start picker's first date: the same day one month before `today`, or `today` itself
// when that day does not exist (after a 31st when the earlier month is shorter). In January
// the month before is December of the year before, which has every day.
QDate historyStartDate(const QDate& today);

// A picked date as the history request sends it: "%04d-%02d-%02d", or, for a date later
// than today, today as "%d-%d-%d" (no leading zeros) with the picker to be moved to today.
struct HistoryDate
{
    QString text;
    bool movedToToday = false;
};
HistoryDate historyDate(const QDate& picked, const QDate& today);

} // namespace trade
