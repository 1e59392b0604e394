#include "chart/IndicatorSettings.h"

#include <algorithm>

#include <json/value.h>
#include <json/writer.h>

#include "chart/formula/Language.h"
#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/SettingsFolder.h"

namespace chart {
namespace {

struct OscillatorName
{
    Oscillator oscillator;
    const char* name;
};

constexpr OscillatorName kOscillatorNames[] = {{Oscillator::None, ""},
                                               {Oscillator::Macd, "MACD"},
                                               {Oscillator::Kdj, "KDJ"},
                                               {Oscillator::Rsi, "RSI"},
                                               {Oscillator::Boll, "BOLL"}};

// A formula's name: UTF-8 text without control characters, no longer than the editor lets a
// formula be named.
bool formulaNameFits(const std::string& name)
{
    if (name.empty() || name.size() > formula::kMaxNameBytes || !client::isValidUtf8(name))
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

void readFlag(const Json::Value& root, const char* key, bool& flag)
{
    const Json::Value& v = client::jsonMember(root, key);
    if (v.isBool())
        flag = v.asBool();
}

} // namespace

std::optional<IndicatorChoice> parseIndicatorChoice(std::string_view bytes)
{
    Json::Value root;
    if (!client::parseJson(client::localFileToUtf8(bytes), root) || !root.isObject())
        return std::nullopt;
    IndicatorChoice choice;
    readFlag(root, "ma", choice.movingAverages);
    readFlag(root, "volume_ma", choice.volumeAverages);
    readFlag(root, "timeline_prev_close", choice.timelineOnPreviousClose);
    const Json::Value& periods = client::jsonMember(root, "ma_periods");
    if (periods.isArray()) {
        for (Json::ArrayIndex i = 0; i < periods.size() && i < choice.maPeriods.size(); ++i) {
            const Json::Value& p = periods[i];
            // isInt64 first: asLargestInt throws for a whole number past 64 bits.
            if (p.isIntegral() && p.isInt64() && p.asLargestInt() >= IndicatorChoice::kMinPeriod
                && p.asLargestInt() <= IndicatorChoice::kMaxPeriod)
                choice.maPeriods[i] = int(p.asLargestInt());
        }
    }
    const Json::Value& oscillator = client::jsonMember(root, "oscillator");
    if (oscillator.isString())
        for (const OscillatorName& o : kOscillatorNames)
            if (oscillator.asString() == o.name)
                choice.oscillator = o.oscillator;
    // The trader's formula, by a name a formula can have; it takes the oscillator's place.
    const Json::Value& formula = client::jsonMember(root, "formula");
    if (formula.isString() && formulaNameFits(formula.asString())) {
        choice.formula = formula.asString();
        choice.oscillator = Oscillator::None;
    }
    return choice;
}

std::string indicatorChoiceText(const IndicatorChoice& choice)
{
    Json::Value root(Json::objectValue);
    root["ma"] = choice.movingAverages;
    Json::Value& periods = root["ma_periods"];
    periods = Json::Value(Json::arrayValue);
    for (const int p : choice.maPeriods)
        periods.append(p);
    root["volume_ma"] = choice.volumeAverages;
    if (choice.timelineOnPreviousClose)
        root["timeline_prev_close"] = true;
    for (const OscillatorName& o : kOscillatorNames)
        if (o.oscillator == choice.oscillator)
            root["oscillator"] = o.name;
    // Only with a formula chosen: a file without one reads as it always has.
    if (!choice.formula.empty())
        root["formula"] = choice.formula;
    Json::StyledWriter writer;
    return writer.write(root);
}

IndicatorFileChoice readIndicatorChoice(const std::filesystem::path& dir)
{
    client::SettingsRead<IndicatorChoice> read = client::SettingsFolder(dir).read(kIndicatorFile, parseIndicatorChoice);
    return {read.value.value_or(IndicatorChoice{}), std::move(read.failed)};
}

std::string indicatorFileProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("指标设置文件", failed, "本次使用默认指标，该文件未作改动。");
}

bool writeIndicatorChoice(const std::filesystem::path& dir, const IndicatorChoice& choice)
{
    return client::SettingsFolder(dir).write(kIndicatorFile, indicatorChoiceText(choice));
}

} // namespace chart
