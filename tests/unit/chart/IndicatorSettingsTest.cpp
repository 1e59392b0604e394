// The "chartindicators" file: what a hand-edited or damaged file reads as.
#include <gtest/gtest.h>

#include "chart/IndicatorSettings.h"

using namespace chart;

TEST(IndicatorSettings, MembersOfTheWrongKindKeepTheirDefaults)
{
    IndicatorChoice chosen;
    chosen.movingAverages = false;
    chosen.maPeriods = {3, 8, 13, 250};
    chosen.oscillator = Oscillator::Rsi;
    chosen.timelineOnPreviousClose = true;
    EXPECT_EQ(parseIndicatorChoice(indicatorChoiceText(chosen)), chosen);

    const IndicatorChoice defaults;
    struct Case
    {
        const char* bytes;
        std::array<int, 4> periods;
        Oscillator oscillator;
        bool averages;
    };
    const Case cases[] = {
        {"{}", defaults.maPeriods, Oscillator::None, true},
        {R"({"ma":"no","oscillator":"macd"})", defaults.maPeriods, Oscillator::None, true},
        {R"({"ma":false,"oscillator":"KDJ"})", defaults.maPeriods, Oscillator::Kdj, false},
        {R"({"ma_periods":[0,1000,12.5,"9"]})", defaults.maPeriods, Oscillator::None, true},
        {R"({"ma_periods":[1,999]})", {1, 999, 20, 60}, Oscillator::None, true},
        {R"({"ma_periods":{"a":3},"oscillator":7})", defaults.maPeriods, Oscillator::None, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const auto read = parseIndicatorChoice(c.bytes);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->maPeriods, c.periods);
        EXPECT_EQ(read->oscillator, c.oscillator);
        EXPECT_EQ(read->movingAverages, c.averages);
    }
    for (const char* unreadable : {"", "[]", "5", "{\"ma\":tru", "\"MACD\""})
        EXPECT_FALSE(parseIndicatorChoice(unreadable)) << unreadable;
}

TEST(IndicatorSettings, AChosenFormulaIsKeptByNameInPlaceOfTheOscillator)
{
    // Without a formula the file is what it always was.
    EXPECT_EQ(indicatorChoiceText(IndicatorChoice{}).find("formula"), std::string::npos);
    IndicatorChoice chosen;
    chosen.formula = "我的MACD";
    EXPECT_EQ(parseIndicatorChoice(indicatorChoiceText(chosen)), chosen);
    // A formula takes the oscillator's place; a name no formula can have is none.
    EXPECT_EQ(parseIndicatorChoice(R"({"oscillator":"MACD","formula":"MOM"})")->oscillator, Oscillator::None);
    EXPECT_EQ(parseIndicatorChoice(R"({"oscillator":"MACD","formula":"MOM"})")->formula, "MOM");
    for (const char* bad : {R"({"oscillator":"KDJ","formula":""})", R"({"oscillator":"KDJ","formula":7})",
                            R"({"oscillator":"KDJ","formula":"a\nb"})",
                            R"({"oscillator":"KDJ","formula":"0123456789012345678901234567890123456789012345678901234567890123456789"})"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(parseIndicatorChoice(bad)->formula, "");
        EXPECT_EQ(parseIndicatorChoice(bad)->oscillator, Oscillator::Kdj);
    }
}
