#include <gtest/gtest.h>

#include "trade/core/HistoryDates.h"

using trade::historyDate;
using trade::historyStartDate;

TEST(HistoryDates, StartOneMonthEarlierOrTodayWhenThatDayDoesNotExist)
{
    EXPECT_EQ(historyStartDate(QDate(2024, 3, 5)), QDate(2024, 2, 5));
    EXPECT_EQ(historyStartDate(QDate(2024, 12, 31)), QDate(2024, 12, 31)); // no 31 November
    EXPECT_EQ(historyStartDate(QDate(2024, 3, 31)), QDate(2024, 3, 31));  // no 31 February
    EXPECT_EQ(historyStartDate(QDate(2024, 3, 29)), QDate(2024, 2, 29));  // a leap year has it
    EXPECT_EQ(historyStartDate(QDate(2023, 3, 29)), QDate(2023, 3, 29));  // a common year does not
    EXPECT_EQ(historyStartDate(QDate(2024, 8, 31)), QDate(2024, 7, 31));  // after a 31st, a 31st
    // January has no earlier month of its own year: the start stays at today.
    EXPECT_EQ(historyStartDate(QDate(2025, 1, 15)), QDate(2025, 1, 15));
    EXPECT_EQ(historyStartDate(QDate(2025, 1, 31)), QDate(2025, 1, 31));
    EXPECT_EQ(historyStartDate(QDate(2024, 2, 1)), QDate(2024, 1, 1));
}

TEST(HistoryDates, PastDatesArePaddedAndAFutureDateIsTodayWithoutLeadingZeros)
{
    const QDate today(2024, 3, 7);
    const trade::HistoryDate past = historyDate(QDate(2024, 2, 5), today);
    EXPECT_EQ(past.text, QStringLiteral("2024-02-05"));
    EXPECT_FALSE(past.movedToToday);
    EXPECT_EQ(historyDate(today, today).text, QStringLiteral("2024-03-07")); // today is not later than today
    EXPECT_FALSE(historyDate(today, today).movedToToday);

    const trade::HistoryDate future = historyDate(QDate(2024, 3, 28), today);
    EXPECT_EQ(future.text, QStringLiteral("2024-3-7"));
    EXPECT_TRUE(future.movedToToday);
    EXPECT_EQ(historyDate(QDate(2031, 11, 20), QDate(2025, 10, 12)).text, QStringLiteral("2025-10-12"));
    EXPECT_EQ(historyDate(QDate(2025, 1, 1), QDate(2024, 12, 31)).text, QStringLiteral("2024-12-31"));
}
