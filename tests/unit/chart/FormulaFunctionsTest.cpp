// Every operator and function of the formula language against values worked out by hand on
// a five-candle history, missing values and windows longer than the history included.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/formula/Evaluator.h"
#include "chart/formula/Language.h"

using namespace chart::formula;

namespace {

constexpr double _ = std::numeric_limits<double>::quiet_NaN();

// Closes 10, 12, 11, 14, 13; each candle opens 0.5 under its close, reaches 1 over and under
// it, and trades 100 + 10 i.
std::vector<Bar> Bars(const std::vector<double>& closes = {10, 12, 11, 14, 13})
{
    std::vector<Bar> bars;
    for (std::size_t i = 0; i < closes.size(); ++i)
        bars.push_back({closes[i] - 0.5, closes[i] + 1, closes[i] - 1, closes[i], 100.0 + 10.0 * double(i)});
    return bars;
}

std::vector<double> Line(const std::string& text, const std::vector<Bar>& bars = Bars(),
                         const std::vector<Parameter>& parameters = {})
{
    const Compiled compiled = compile(text, parameters);
    EXPECT_TRUE(compiled.ok()) << text << ": "
                               << (compiled.errors.empty() ? std::string() : diagnosticText(compiled.errors[0]));
    const auto lines = evaluateText(text, bars, parameters);
    return lines.empty() ? std::vector<double>{} : lines.back();
}

struct Case
{
    const char* text;
    std::vector<double> expected;
};

void ExpectCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        const std::vector<double> line = Line(c.text);
        ASSERT_EQ(line.size(), c.expected.size()) << c.text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (std::isnan(c.expected[i]))
                EXPECT_TRUE(std::isnan(line[i])) << c.text << " at " << i << ": " << line[i];
            else
                EXPECT_NEAR(line[i], c.expected[i], 1e-12) << c.text << " at " << i;
        }
    }
}

} // namespace

TEST(FormulaFunctions, DataSeries)
{
    ExpectCases({
        {"CLOSE", {10, 12, 11, 14, 13}},
        {"C", {10, 12, 11, 14, 13}},
        {"OPEN", {9.5, 11.5, 10.5, 13.5, 12.5}},
        {"o", {9.5, 11.5, 10.5, 13.5, 12.5}},
        {"HIGH", {11, 13, 12, 15, 14}},
        {"H", {11, 13, 12, 15, 14}},
        {"LOW", {9, 11, 10, 13, 12}},
        {"l", {9, 11, 10, 13, 12}},
        {"VOL", {100, 110, 120, 130, 140}},
        {"V", {100, 110, 120, 130, 140}},
        {"5", {5, 5, 5, 5, 5}},
    });
}

TEST(FormulaFunctions, Arithmetic)
{
    ExpectCases({
        {"C+1", {11, 13, 12, 15, 14}},
        {"C-1", {9, 11, 10, 13, 12}},
        {"C*2", {20, 24, 22, 28, 26}},
        {"C/2", {5, 6, 5.5, 7, 6.5}},
        {"-C+1", {-9, -11, -10, -13, -12}},
        {"+C", {10, 12, 11, 14, 13}},
        {"2+3*C", {32, 38, 35, 44, 41}},
        {"(2+3)*C", {50, 60, 55, 70, 65}},
        {"C-2-3", {5, 7, 6, 9, 8}},
        {"C/2/5", {1, 1.2, 1.1, 1.4, 1.3}},
        {"--C", {10, 12, 11, 14, 13}},
        {"1/(C-11)", {-1, 1, _, 1.0 / 3, 0.5}}, // division by zero: no value
        {"0/0", {_, _, _, _, _}},
        {"C*0.5", {5, 6, 5.5, 7, 6.5}},
        {".5*C", {5, 6, 5.5, 7, 6.5}},
    });
}

TEST(FormulaFunctions, ComparisonsAndLogic)
{
    ExpectCases({
        {"C>11", {0, 1, 0, 1, 1}},
        {"C<11", {1, 0, 0, 0, 0}},
        {"C>=12", {0, 1, 0, 1, 1}},
        {"C<=11", {1, 0, 1, 0, 0}},
        {"C=11", {0, 0, 1, 0, 0}},
        {"C<>11", {1, 1, 0, 1, 1}},
        {"C!=11", {1, 1, 0, 1, 1}},
        {"C>11 AND C<14", {0, 1, 0, 0, 1}},
        {"C>11 && C<14", {0, 1, 0, 0, 1}},
        {"C<11 OR C>13", {1, 0, 0, 1, 0}},
        {"C<11 || C>13", {1, 0, 0, 1, 0}},
        {"NOT C>11", {1, 0, 1, 0, 0}},
        {"NOT(C>11)", {1, 0, 1, 0, 0}},
        {"not(C-11)*2", {0, 0, 2, 0, 0}}, // NOT( ) is a function: (NOT (C-11)) * 2
        {"C>11 AND NOT C>13", {0, 1, 0, 0, 1}},
        {"C<11 OR C>11 AND C<13", {1, 1, 0, 0, 0}}, // AND before OR
        {"C>11=1", {0, 1, 0, 1, 1}},
        {"1+(C>11)", {1, 2, 1, 2, 2}},
        // A missing value compares to nothing.
        {"REF(C,1)>11", {_, 0, 1, 0, 1}},
        {"REF(C,1)>11 OR 1", {_, 1, 1, 1, 1}},
    });
}

TEST(FormulaFunctions, Averages)
{
    const double sma1 = (12 + 2 * 10.0) / 3;
    const double sma2 = (11 + 2 * sma1) / 3;
    const double sma3 = (14 + 2 * sma2) / 3;
    const double sma4 = (13 + 2 * sma3) / 3;
    ExpectCases({
        {"MA(C,3)", {_, _, 11, 37.0 / 3, 38.0 / 3}},
        {"MA(C,1)", {10, 12, 11, 14, 13}},
        {"MA(C,5)", {_, _, _, _, 12}},
        {"MA(C,6)", {_, _, _, _, _}},             // the window is longer than the history
        {"MA(C,1000000000000)", {_, _, _, _, _}}, // clamped to the history
        {"MA(C,0)", {_, _, _, _, _}},
        {"MA(C,-3)", {_, _, _, _, _}},
        {"MA(C,2.7)", {_, 11, 11.5, 12.5, 13.5}}, // a period is a whole number of candles
        {"MA(REF(C,1),2)", {_, _, 11, 11.5, 12.5}},
        {"EMA(C,3)", {10, 11, 11, 12.5, 12.75}},
        {"EMA(C,1)", {10, 12, 11, 14, 13}},
        {"EMA(C,0)", {_, _, _, _, _}},
        {"EMA(REF(C,2),3)", {_, _, 10, 11, 11}}, // seeded with the first value there is
        // A missing value in the middle: no value there, the average carries on from before.
        {"EMA(IF(C=11,C/0,C),3)", {10, 11, _, 12.5, 12.75}},
        {"SMA(C,3,1)", {10, sma1, sma2, sma3, sma4}},
        {"SMA(C,1,1)", {10, 12, 11, 14, 13}},
        {"SMA(C,0,1)", {_, _, _, _, _}},
        {"SMA(C,3,2)", {10, (2 * 12 + 10.0) / 3, (2 * 11 + (2 * 12 + 10.0) / 3) / 3,
                        (2 * 14 + (2 * 11 + (2 * 12 + 10.0) / 3) / 3) / 3,
                        (2 * 13 + (2 * 14 + (2 * 11 + (2 * 12 + 10.0) / 3) / 3) / 3) / 3}},
    });
}

TEST(FormulaFunctions, AHugePeriodIsHarmless)
{
    // The average barely moves from its seed.
    for (const double v : Line("EMA(C,100000000000000000000)"))
        EXPECT_NEAR(v, 10, 1e-9);
}

TEST(FormulaFunctions, WindowsAndCounts)
{
    ExpectCases({
        {"REF(C,1)", {_, 10, 12, 11, 14}},
        {"REF(C,0)", {10, 12, 11, 14, 13}},
        {"REF(C,4)", {_, _, _, _, 10}},
        {"REF(C,5)", {_, _, _, _, _}},
        {"REF(C,-1)", {_, _, _, _, _}}, // no looking ahead
        {"REF(C,1000000000000000)", {_, _, _, _, _}},
        {"REF(C,BARSCOUNT(C)-1)", {10, 10, 10, 10, 10}},
        {"HHV(C,2)", {10, 12, 12, 14, 14}},
        {"HHV(C,3)", {10, 12, 12, 14, 14}},
        {"HHV(C,0)", {10, 12, 12, 14, 14}},
        {"HHV(C,1000000000)", {10, 12, 12, 14, 14}},
        {"HHV(C,BARSCOUNT(C))", {10, 12, 12, 14, 14}},
        {"HHV(C,-1)", {_, _, _, _, _}},
        {"LLV(C,2)", {10, 10, 11, 11, 13}},
        {"LLV(C,3)", {10, 10, 10, 11, 11}},
        {"LLV(C,0)", {10, 10, 10, 10, 10}},
        {"LLV(REF(C,1),2)", {_, 10, 10, 11, 11}},
        {"SUM(C,2)", {_, 22, 23, 25, 27}},
        {"SUM(C,5)", {_, _, _, _, 60}},
        {"SUM(C,6)", {_, _, _, _, _}},
        {"SUM(C,0)", {10, 22, 33, 47, 60}},
        {"SUM(REF(C,1),0)", {_, 10, 22, 33, 47}},
        {"SUM(C,BARSCOUNT(C))", {10, 22, 33, 47, 60}},
        {"SUM(C,IF(C>11,2,1))", {10, 22, 11, 25, 27}},
        {"COUNT(C>11,2)", {0, 1, 1, 1, 2}},
        {"COUNT(C>11,0)", {0, 1, 1, 2, 3}},
        {"COUNT(C>11,10)", {0, 1, 1, 2, 3}},
        {"COUNT(C>11,BARSCOUNT(C))", {0, 1, 1, 2, 3}},
        {"COUNT(REF(C,1)>11,2)", {0, 0, 1, 1, 1}},
        {"CROSS(C,11.5)", {0, 1, 0, 1, 0}},
        {"CROSS(11.5,C)", {0, 0, 1, 0, 0}},
        {"CROSS(C,MA(C,2))", {_, 0, 0, 1, 0}},
        {"BARSLAST(C>13)", {_, _, _, 0, 1}},
        {"BARSLAST(C>11)", {_, 0, 1, 0, 0}},
        {"BARSLAST(0)", {_, _, _, _, _}},
        {"BARSCOUNT(C)", {1, 2, 3, 4, 5}},
        {"BARSCOUNT(REF(C,2))", {_, _, 1, 2, 3}},
    });
}

TEST(FormulaFunctions, Deviations)
{
    const auto sample = [](double a, double b, double c) {
        const double m = (a + b + c) / 3;
        return std::sqrt(((a - m) * (a - m) + (b - m) * (b - m) + (c - m) * (c - m)) / 2);
    };
    const auto population = [](double a, double b, double c) {
        const double m = (a + b + c) / 3;
        return std::sqrt(((a - m) * (a - m) + (b - m) * (b - m) + (c - m) * (c - m)) / 3);
    };
    const auto meanAbsolute = [](double a, double b, double c) {
        const double m = (a + b + c) / 3;
        return (std::fabs(a - m) + std::fabs(b - m) + std::fabs(c - m)) / 3;
    };
    ExpectCases({
        {"STD(C,3)", {_, _, sample(10, 12, 11), sample(12, 11, 14), sample(11, 14, 13)}},
        {"STD(C,1)", {_, _, _, _, _}}, // a sample of one has no deviation
        {"STDP(C,3)", {_, _, population(10, 12, 11), population(12, 11, 14), population(11, 14, 13)}},
        {"STDP(C,1)", {0, 0, 0, 0, 0}},
        {"STDP(C,6)", {_, _, _, _, _}},
        {"AVEDEV(C,3)", {_, _, meanAbsolute(10, 12, 11), meanAbsolute(12, 11, 14), meanAbsolute(11, 14, 13)}},
        {"AVEDEV(C,2)", {_, 1, 0.5, 1.5, 0.5}},
        {"STD(REF(C,1),2)", {_, _, std::sqrt(2.0), std::sqrt(0.5), std::sqrt(4.5)}},
    });
}

TEST(FormulaFunctions, ElementwiseFunctions)
{
    ExpectCases({
        {"IF(C>11,1,2)", {2, 1, 2, 1, 1}},
        {"IF(C>11,C,REF(C,1))", {_, 12, 12, 14, 13}},
        {"IF(REF(C,1)>11,1,0)", {_, 0, 1, 0, 1}},
        {"ABS(C-12)", {2, 0, 1, 2, 1}},
        {"MAX(C,12)", {12, 12, 12, 14, 13}},
        {"MIN(C,12)", {10, 12, 11, 12, 12}},
        {"MAX(REF(C,1),0)", {_, 10, 12, 11, 14}}, // a missing value is not 0
        {"SQRT(C-11)", {_, 1, 0, std::sqrt(3.0), std::sqrt(2.0)}},
        {"SQRT(4)", {2, 2, 2, 2, 2}},
    });
}

TEST(FormulaFunctions, NamesParametersAndChineseNames)
{
    const std::vector<double> lower = Line("ma(close,3)");
    const std::vector<double> upper = Line("MA(CLOSE,3)");
    ASSERT_EQ(lower.size(), upper.size());
    for (std::size_t i = 2; i < upper.size(); ++i)
        EXPECT_EQ(lower[i], upper[i]);
    const std::vector<double> ma2 = Line("MA(C,2)");
    const std::vector<Parameter> n{{"N", 2, 1, 100}};
    const std::vector<double> byParameter = Line("MA(C,N)", Bars(), n);
    ASSERT_EQ(byParameter.size(), ma2.size());
    for (std::size_t i = 1; i < ma2.size(); ++i)
        EXPECT_DOUBLE_EQ(byParameter[i], ma2[i]);
    EXPECT_EQ(Line("MA(C,n)", Bars(), n).size(), 5u);
    const std::vector<double> chinese = Line("短线:=MA(C,2);\n长线:=MA(C,3);\n差:短线-长线;");
    EXPECT_NEAR(chinese[4], 13.5 - 38.0 / 3, 1e-12);
    // A variable holding a constant is a period like any number.
    const std::vector<double> constant = Line("N:=1+1; A:MA(C,N);");
    EXPECT_DOUBLE_EQ(constant[4], 13.5);
    // Every output is a line, in the order written.
    const auto lines = evaluateText("A:C; B:=A*2; B+1; D:B,NODRAW;", Bars());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_DOUBLE_EQ(lines[0][0], 10);
    EXPECT_DOUBLE_EQ(lines[1][0], 21);
    EXPECT_DOUBLE_EQ(lines[2][0], 20);
}

TEST(FormulaFunctions, EmptyAndOneCandleHistories)
{
    EXPECT_TRUE(evaluateText("A:MA(C,3); B:EMA(C,3); E:HHV(C,0);", {}).at(0).empty());
    const auto one = evaluateText("A:MA(C,1); B:EMA(C,3); E:REF(C,1); F:BARSCOUNT(C); G:SUM(C,0);", Bars({7}));
    ASSERT_EQ(one.size(), 5u);
    EXPECT_DOUBLE_EQ(one[0][0], 7);
    EXPECT_DOUBLE_EQ(one[1][0], 7);
    EXPECT_TRUE(std::isnan(one[2][0]));
    EXPECT_DOUBLE_EQ(one[3][0], 1);
    EXPECT_DOUBLE_EQ(one[4][0], 7);
}
