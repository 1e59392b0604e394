#include "market/core/PriceAlerts.h"

#include <cmath>

#include <json/writer.h>

#include "client/ApiReply.h"
#include "client/Numbers.h"
#include "client/SettingsFolder.h"

namespace market {
namespace {

struct ConditionName
{
    AlertCondition condition;
    const char* key; // in the file
    const char* text;
};
constexpr ConditionName kNames[] = {
    {AlertCondition::PriceAtLeast, "price_at_least", "最新价 ≥"},
    {AlertCondition::PriceAtMost, "price_at_most", "最新价 ≤"},
    {AlertCondition::RiseAtLeast, "rise_at_least", "涨幅 ≥ %"},
    {AlertCondition::FallAtLeast, "fall_at_least", "跌幅 ≥ %"},
};

// A number, or numeric text; "--", other text and null are no figure.
std::optional<double> figure(const Json::Value& v)
{
    if (v.isNumeric())
        return v.asDouble();
    if (v.isString())
        return client::wholeDecimal(v.asString());
    return std::nullopt;
}

std::optional<double> figureFor(const PriceAlert& alert, const std::optional<ItemFigures>& row)
{
    if (!row)
        return std::nullopt;
    const bool price = alert.condition == AlertCondition::PriceAtLeast || alert.condition == AlertCondition::PriceAtMost;
    return price ? row->latest : row->changePercent;
}

bool holds(const PriceAlert& alert, double figure)
{
    switch (alert.condition) {
    case AlertCondition::PriceAtLeast: return figure >= alert.value;
    case AlertCondition::PriceAtMost: return figure <= alert.value;
    case AlertCondition::RiseAtLeast: return figure >= alert.value;
    case AlertCondition::FallAtLeast: return -figure >= alert.value;
    }
    return false;
}

std::string twoDecimals(double v) { return client::fixedDecimals(v, 2); }

} // namespace

ItemFigures figuresOf(const Json::Value& row)
{
    ItemFigures f;
    f.code = client::jsonInt(row, "main_3");
    f.name = client::jsonText(row, "main_4");
    f.latest = figure(client::jsonMember(row, "main_9"));
    // The market views show a price within 0.00001 of zero as "--": no trade yet.
    if (f.latest && std::fabs(*f.latest) < 0.00001)
        f.latest.reset();
    f.changePercent = figure(client::jsonMember(row, "main_20"));
    return f;
}

const char* alertConditionText(AlertCondition condition)
{
    for (const ConditionName& n : kNames) {
        if (n.condition == condition)
            return n.text;
    }
    return "";
}

AlertStep evaluateAlert(const PriceAlert& alert, const std::optional<ItemFigures>& previous,
                        const std::optional<ItemFigures>& current)
{
    const std::optional<double> now = figureFor(alert, current);
    if (!now)
        return AlertStep::None;
    const bool holdsNow = holds(alert, *now);
    if (alert.armed) {
        const std::optional<double> before = figureFor(alert, previous);
        return holdsNow && !(before && holds(alert, *before)) ? AlertStep::Trigger : AlertStep::None;
    }
    return alert.autoRearm && !holdsNow ? AlertStep::Rearm : AlertStep::None;
}

AlertsStepped stepAlerts(std::vector<PriceAlert>& alerts, const std::vector<ItemFigures>& rows, std::int64_t now)
{
    AlertsStepped out;
    for (std::size_t i = 0; i < alerts.size(); ++i) {
        PriceAlert& alert = alerts[i];
        std::optional<ItemFigures> current;
        for (const ItemFigures& row : rows) {
            if (row.code == alert.code)
                current = row;
        }
        switch (evaluateAlert(alert, alert.lastRow, current)) {
        case AlertStep::Trigger:
            alert.armed = false;
            alert.triggeredAt = now;
            out.triggered.push_back(i);
            out.changed = true;
            break;
        case AlertStep::Rearm:
            alert.armed = true;
            alert.triggeredAt = 0;
            out.changed = true;
            break;
        case AlertStep::None: break;
        }
        // A row without the figure leaves the last one that had it.
        if (figureFor(alert, current))
            alert.lastRow = current;
    }
    return out;
}

std::optional<std::vector<PriceAlert>> parseAlerts(std::string_view text)
{
    Json::Value root;
    if (!client::parseJson(text, root) || !root.isArray())
        return std::nullopt;
    std::vector<PriceAlert> alerts;
    for (const Json::Value& item : root) {
        if (!item.isObject())
            return std::nullopt;
        PriceAlert a;
        a.code = client::jsonInt(item, "code");
        a.name = client::jsonText(item, "name");
        const std::string key = client::jsonText(item, "condition");
        const ConditionName* name = nullptr;
        for (const ConditionName& n : kNames) {
            if (key == n.key)
                name = &n;
        }
        const std::optional<double> value = client::wholeDecimal(client::jsonText(item, "value"));
        if (a.code <= 0 || !name || !value)
            return std::nullopt;
        a.condition = name->condition;
        a.value = *value;
        // asBool throws for text or an array: only a JSON true re-arms by itself.
        const Json::Value& rearm = client::jsonMember(item, "auto");
        a.autoRearm = rearm.isBool() && rearm.asBool();
        a.armed = !client::jsonMember(item, "armed").isBool() || client::jsonMember(item, "armed").asBool();
        a.triggeredAt = a.armed ? 0 : client::JsonInt64(item, "triggered_at");
        alerts.push_back(std::move(a));
    }
    return alerts;
}

std::string alertsText(const std::vector<PriceAlert>& alerts)
{
    Json::Value root(Json::arrayValue);
    for (const PriceAlert& a : alerts) {
        Json::Value item(Json::objectValue);
        item["code"] = a.code;
        item["name"] = a.name;
        for (const ConditionName& n : kNames) {
            if (n.condition == a.condition)
                item["condition"] = n.key;
        }
        item["value"] = twoDecimals(a.value);
        item["auto"] = a.autoRearm;
        item["armed"] = a.armed;
        item["triggered_at"] = Json::Int64(a.triggeredAt);
        root.append(item);
    }
    return Json::StyledWriter().write(root);
}

std::string alertsProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("预警文件", failed, "本次没有预警，该文件在您更改预警之前不会被改动。");
}

std::string alertLine(const PriceAlert& alert)
{
    std::string line = std::to_string(alert.code) + " " + alert.name + " " + alertConditionText(alert.condition);
    const bool percent = alert.condition == AlertCondition::RiseAtLeast || alert.condition == AlertCondition::FallAtLeast;
    // "涨幅 ≥ %" reads "涨幅 ≥ 2.00%".
    if (percent)
        line.resize(line.size() - 2);
    line += " " + twoDecimals(alert.value) + (percent ? "%" : "");
    if (alert.lastRow) {
        if (alert.lastRow->latest)
            line += "，最新价 " + twoDecimals(*alert.lastRow->latest);
        if (alert.lastRow->changePercent)
            line += "，涨幅 " + twoDecimals(*alert.lastRow->changePercent) + "%";
    }
    return line;
}

} // namespace market
