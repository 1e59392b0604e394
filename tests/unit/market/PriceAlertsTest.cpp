#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/ApiReply.h"
#include "market/core/PriceAlerts.h"

using market::AlertCondition;
using market::AlertStep;
using market::ItemFigures;
using market::PriceAlert;

namespace {

std::optional<ItemFigures> row(std::optional<double> latest, std::optional<double> change = std::nullopt)
{
    return ItemFigures{9160001, "Tolmere", latest, change};
}
constexpr std::nullopt_t kGone = std::nullopt;

PriceAlert alert(AlertCondition condition, double value, bool armed = true, bool autoRearm = false)
{
    PriceAlert a;
    a.code = 9160001;
    a.condition = condition;
    a.value = value;
    a.armed = armed;
    a.autoRearm = autoRearm;
    return a;
}

} // namespace

TEST(PriceAlerts, TriggerWhenTheConditionBecomesTrueAndRearmWhenItNoLongerHolds)
{
    using C = AlertCondition;
    struct Case
    {
        const char* what;
        PriceAlert alert;
        std::optional<ItemFigures> previous, current;
        AlertStep step;
    };
    const Case cases[] = {
        {"crossing up", alert(C::PriceAtLeast, 36.5), row(36.4), row(36.5), AlertStep::Trigger},
        {"still below", alert(C::PriceAtLeast, 36.5), row(36.4), row(36.49), AlertStep::None},
        {"crossing down", alert(C::PriceAtMost, 35), row(35.2), row(34.9), AlertStep::Trigger},
        {"already beyond at the first row", alert(C::PriceAtLeast, 30), kGone, row(36.5), AlertStep::Trigger},
        {"beyond on both rows: no new crossing", alert(C::PriceAtLeast, 30), row(36), row(36.5), AlertStep::None},
        {"a rise reached", alert(C::RiseAtLeast, 2), row(36, 1.5), row(37, 2.01), AlertStep::Trigger},
        {"a fall reached", alert(C::FallAtLeast, 2), row(36, -1.9), row(35, -2), AlertStep::Trigger},
        {"a rise is no fall", alert(C::FallAtLeast, 2), kGone, row(37, 3), AlertStep::None},
        {"no figure (\"--\")", alert(C::PriceAtLeast, 30), kGone, row(std::nullopt), AlertStep::None},
        {"no change figure", alert(C::RiseAtLeast, 1), kGone, row(40), AlertStep::None},
        {"the item left the overview", alert(C::PriceAtMost, 99), row(36), kGone, AlertStep::None},
        {"triggered, false again: re-armed", alert(C::PriceAtLeast, 36, false, true), row(37), row(35.99), AlertStep::Rearm},
        {"triggered, true again: nothing", alert(C::PriceAtLeast, 36, false, true), row(35), row(37), AlertStep::None},
        {"triggered without auto re-arm", alert(C::PriceAtLeast, 36, false, false), row(37), row(30), AlertStep::None},
        {"no figure never re-arms", alert(C::PriceAtLeast, 36, false, true), row(37), row(std::nullopt), AlertStep::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(market::evaluateAlert(c.alert, c.previous, c.current), c.step) << c.what;
}

TEST(PriceAlerts, StepsTellOnceAndSkipRowsWithoutTheFigure)
{
    std::vector<PriceAlert> alerts = {alert(AlertCondition::PriceAtLeast, 36.5),
                                      alert(AlertCondition::PriceAtMost, 30, true, true)};
    const auto rows = [](std::optional<double> latest) { return std::vector<ItemFigures>{*row(latest)}; };
    EXPECT_TRUE(market::stepAlerts(alerts, rows(36.0), 100).triggered.empty());
    EXPECT_TRUE(market::stepAlerts(alerts, rows(std::nullopt), 105).triggered.empty());
    // "--" in between does not make 36.6 a second crossing later.
    const market::AlertsStepped up = market::stepAlerts(alerts, rows(36.6), 110);
    EXPECT_EQ(up.triggered, std::vector<std::size_t>{0});
    EXPECT_TRUE(up.changed);
    EXPECT_FALSE(alerts[0].armed);
    EXPECT_EQ(alerts[0].triggeredAt, 110);
    EXPECT_TRUE(market::stepAlerts(alerts, rows(36.0), 115).triggered.empty());
    EXPECT_TRUE(market::stepAlerts(alerts, rows(36.7), 120).triggered.empty()) << "once, until re-armed";
    EXPECT_FALSE(market::stepAlerts(alerts, {}, 125).changed) << "every item gone";
}

TEST(PriceAlerts, FiguresOfARowTakeTextAndNumbersButNotDashes)
{
    Json::Value r;
    ASSERT_TRUE(client::parseJson(R"({"main_3":9160001,"main_4":"T","main_9":"36.50","main_20":"--"})", r));
    const ItemFigures f = market::figuresOf(r);
    EXPECT_EQ(f.latest, 36.5);
    EXPECT_FALSE(f.changePercent);
    ASSERT_TRUE(client::parseJson(R"({"main_3":9160001,"main_9":0,"main_20":-1.25})", r));
    EXPECT_FALSE(market::figuresOf(r).latest) << "no trade yet";
    EXPECT_EQ(market::figuresOf(r).changePercent, -1.25);
}

TEST(PriceAlerts, TheFileKeepsEveryAlertAndRefusesWhatItDidNotWrite)
{
    std::vector<PriceAlert> alerts = {alert(AlertCondition::FallAtLeast, 2.5, false, true),
                                      alert(AlertCondition::PriceAtMost, 35)};
    alerts[0].name = "Tolmere小酒窖";
    alerts[0].triggeredAt = 1709629507;
    const auto back = market::parseAlerts(market::alertsText(alerts));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].condition, AlertCondition::FallAtLeast);
    EXPECT_EQ((*back)[0].value, 2.5);
    EXPECT_EQ((*back)[0].name, "Tolmere小酒窖");
    EXPECT_TRUE((*back)[0].autoRearm && !(*back)[0].armed);
    EXPECT_EQ((*back)[0].triggeredAt, 1709629507);
    EXPECT_TRUE((*back)[1].armed);
    EXPECT_EQ(market::parseAlerts("[]")->size(), 0u);
    for (const char* bad : {"", "{}", "[1]", R"([{"code":9160001,"condition":"sometimes","value":"1"}])",
                            R"([{"code":9160001,"condition":"price_at_most","value":"1,5"}])",
                            R"([{"code":0,"condition":"price_at_most","value":"1"}])"})
        EXPECT_FALSE(market::parseAlerts(bad)) << bad;
}
