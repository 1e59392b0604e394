#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <json/value.h>

// Price alerts: conditions on an item's figures, evaluated on the rows the terminal polls anyway.
namespace market {

// What an overview row says of its item that an alert can look at. A figure the row lacks, or
// shows as "--", is nullopt.
struct ItemFigures
{
    int code = 0;
    std::string name;
    std::optional<double> latest;        // "main_9"; a price of 0 is no trade yet
    std::optional<double> changePercent; // "main_20"
};
ItemFigures figuresOf(const Json::Value& row);

enum class AlertCondition { PriceAtLeast, PriceAtMost, RiseAtLeast, FallAtLeast };
inline constexpr AlertCondition kAlertConditions[] = {AlertCondition::PriceAtLeast, AlertCondition::PriceAtMost,
                                                      AlertCondition::RiseAtLeast, AlertCondition::FallAtLeast};
// "最新价 ≥", "最新价 ≤", "涨幅 ≥ %", "跌幅 ≥ %".
const char* alertConditionText(AlertCondition condition);

struct PriceAlert
{
    int code = 0;
    std::string name;
    AlertCondition condition = AlertCondition::PriceAtLeast;
    double value = 0; // a price, or a percentage for the change conditions
    bool autoRearm = false; // armed again once the condition no longer holds
    bool armed = true;
    std::int64_t triggeredAt = 0; // Unix seconds, while not armed
    // Not kept: the last row of the item with the alert's figure, since it was armed.
    std::optional<ItemFigures> lastRow;
};

enum class AlertStep { None, Trigger, Rearm };

// An armed alert triggers when its condition becomes true: it holds on `current` and did not
// on `previous` (none yet counts as not holding, so an item already beyond the level tells at
// once). A triggered alert that re-arms by itself does so on a row where the condition no
// longer holds. A row without the figure, or no row (the item has left the overview), decides
// nothing.
AlertStep evaluateAlert(const PriceAlert& alert, const std::optional<ItemFigures>& previous,
                        const std::optional<ItemFigures>& current);

// Steps every alert with the rows of one reply; the indices of those that triggered. `changed`
// says whether a state to keep changed.
struct AlertsStepped
{
    std::vector<std::size_t> triggered;
    bool changed = false;
};
AlertsStepped stepAlerts(std::vector<PriceAlert>& alerts, const std::vector<ItemFigures>& rows, std::int64_t now);

// The settings file "alerts": every alert with its state.
inline constexpr const char* kAlertsFile = "alerts";
std::optional<std::vector<PriceAlert>> parseAlerts(std::string_view text);
std::string alertsText(const std::vector<PriceAlert>& alerts);
std::string alertsProblemText(const std::filesystem::path& failed);

// "9160001 Tolmere小酒窖 最新价 ≥ 36.50" and what the row showed.
std::string alertLine(const PriceAlert& alert);

} // namespace market
