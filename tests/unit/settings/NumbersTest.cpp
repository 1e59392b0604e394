// Prices and amounts read and print with a decimal point whatever the desktop's language.
#include <cmath>

#include <gtest/gtest.h>

#include "client/Numbers.h"
#include "support/GermanLocale.h"
#include "trade/core/OrderChecks.h"

namespace {

void expectCLocaleReadings()
{
    struct Case
    {
        const char* text;
        std::optional<double> leading;
        std::optional<double> whole;
    };
    const Case cases[] = {
        {"12.50", 12.5, 12.5},   {" +36.2", 36.2, 36.2}, {"-0.01x", -0.01, std::nullopt},
        {"5.", 5.0, 5.0},        {".5", 0.5, 0.5},       {"12,50", 12.0, std::nullopt},
        {"", std::nullopt, std::nullopt}, {"+-1", std::nullopt, std::nullopt}, {"abc", std::nullopt, std::nullopt},
        {"1e400", std::nullopt, std::nullopt}, {"1e39", 1e39, 1e39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(client::leadingDecimal(c.text), c.leading);
        EXPECT_EQ(client::wholeDecimal(c.text), c.whole);
    }
    // printf's rounding of the exact binary value: an exact half to even, 2.675 is below half.
    EXPECT_EQ(client::fixedDecimals(0.125, 2), "0.12");
    EXPECT_EQ(client::fixedDecimals(2.675, 2), "2.67");
    EXPECT_EQ(client::fixedDecimals(131072.01, 2), "131072.01");
    EXPECT_EQ(client::fixedDecimals(-1.25, 2), "-1.25");
    EXPECT_EQ(client::fixedDecimals(1e300, 2).size(), 304u);
    EXPECT_DOUBLE_EQ(trade::priceOf("36.20"), 36.2);
    EXPECT_EQ(trade::priceOf("inf"), 0.0);
}

TEST(Numbers, ReadAndPrintAsInTheCLocale) { expectCLocaleReadings(); }

TEST(Numbers, ReadAndPrintTheSameUnderAGermanLocale)
{
    const testsupport::GermanLocale german;
    if (!german.active())
        GTEST_SKIP() << testsupport::GermanLocale::kMissing;
    expectCLocaleReadings();
}

} // namespace
