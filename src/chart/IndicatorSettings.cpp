#include "chart/IndicatorSettings.h"

#include <fstream>
#include <iterator>

#include <json/value.h>
#include <json/writer.h>

#include <QByteArray>
#include <QString>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "platform/SaveFile.h"

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
    const Json::Value& periods = client::jsonMember(root, "ma_periods");
    if (periods.isArray()) {
        for (Json::ArrayIndex i = 0; i < periods.size() && i < choice.maPeriods.size(); ++i) {
            const Json::Value& p = periods[i];
            if (p.isIntegral() && p.asLargestInt() >= IndicatorChoice::kMinPeriod
                && p.asLargestInt() <= IndicatorChoice::kMaxPeriod)
                choice.maPeriods[i] = int(p.asLargestInt());
        }
    }
    const Json::Value& oscillator = client::jsonMember(root, "oscillator");
    if (oscillator.isString())
        for (const OscillatorName& o : kOscillatorNames)
            if (oscillator.asString() == o.name)
                choice.oscillator = o.oscillator;
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
    for (const OscillatorName& o : kOscillatorNames)
        if (o.oscillator == choice.oscillator)
            root["oscillator"] = o.name;
    Json::StyledWriter writer;
    return writer.write(root);
}

IndicatorFileChoice readIndicatorChoice(const std::filesystem::path& dir)
{
    IndicatorFileChoice result;
    const std::filesystem::path path = dir / kIndicatorFile;
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return result; // never chosen: the defaults, quietly
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::optional<IndicatorChoice> choice = in ? parseIndicatorChoice(bytes) : std::nullopt;
    if (choice)
        result.choice = *choice;
    else
        result.failed = path;
    return result;
}

std::string indicatorFileProblemText(const std::filesystem::path& failed)
{
    // An absolute path, so the user can find the file whatever folder the program runs in.
    const std::string path = std::filesystem::absolute(failed).lexically_normal().string();
    return "无法读取指标设置文件：\n" + path + "\n本次使用默认指标，该文件未作改动。";
}

bool writeIndicatorChoice(const std::filesystem::path& dir, const IndicatorChoice& choice)
{
    return platform::saveWholeFile(QString::fromStdString((dir / kIndicatorFile).string()),
                                   QByteArray::fromStdString(indicatorChoiceText(choice)));
}

} // namespace chart
