#pragma once

#include <string>

#include <QDate>

// The dates of the history queries: what the pickers start at, and what a query sends.
namespace trade {

// The start picker's first date: the same day one month before `today`, or `today` when the
// earlier month has no such day (the 29th to 31st after a shorter month). In January the
// month before is December of the year before.
QDate defaultHistoryStart(QDate today);

// "%04d-%02d-%02d".
std::string paddedDateText(QDate date);

// A picker's date as a query sends it. A date later than today is replaced by today, then
// written "%d-%d-%d" (no leading zeros) and shown on the picker too; other dates go out
// padded. The start is never compared with the end.
struct QueryDate
{
    std::string text;
    QDate shown; // the date the picker is to show
};
QueryDate historyQueryDate(QDate picked, QDate today);

} // namespace trade
