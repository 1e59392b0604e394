// The trader's formulas on disk: the "formulas" settings file (UTF-8 JSON, through the one
// SettingsFolder), and one formula as a plain text file for import and export.
#include <algorithm>
#include <charconv>
#include <cmath>

#include <json/value.h>
#include <json/writer.h>

#include "chart/formula/Definition.h"
#include "chart/formula/private/Lexer.h"
#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/Numbers.h"
#include "client/SettingsFolder.h"

namespace chart::formula {
namespace {

constexpr const char* kOverlay = "overlay";
constexpr const char* kOscillator = "oscillator";

// The header comments of an exported formula.
constexpr std::string_view kNameTag = "名称";
constexpr std::string_view kDescriptionTag = "说明";
constexpr std::string_view kPlacementTag = "位置";
constexpr std::string_view kParameterTag = "参数";
constexpr std::string_view kOverlayWord = "主图";
constexpr std::string_view kOscillatorWord = "副图";

bool isNumber(const Json::Value& v)
{
    // isDouble is true of every JSON number; asDouble never throws for one.
    return v.isNumeric() && std::isfinite(v.asDouble());
}

std::optional<Parameter> parameterOf(const Json::Value& v)
{
    if (!v.isObject())
        return std::nullopt;
    const Json::Value& name = client::jsonMember(v, "name");
    const Json::Value& value = client::jsonMember(v, "default");
    const Json::Value& minimum = client::jsonMember(v, "min");
    const Json::Value& maximum = client::jsonMember(v, "max");
    if (!name.isString() || !isNumber(value) || !isNumber(minimum) || !isNumber(maximum))
        return std::nullopt;
    return Parameter{name.asString(), value.asDouble(), minimum.asDouble(), maximum.asDouble()};
}

std::optional<Definition> definitionOf(const Json::Value& v)
{
    if (!v.isObject())
        return std::nullopt;
    Definition d;
    const Json::Value& name = client::jsonMember(v, "name");
    const Json::Value& text = client::jsonMember(v, "text");
    if (!name.isString() || !text.isString() || name.asString().empty() || text.asString().size() > kMaxTextBytes)
        return std::nullopt;
    d.name = name.asString();
    d.text = text.asString();
    const Json::Value& description = client::jsonMember(v, "description");
    if (!description.isNull() && !description.isString())
        return std::nullopt;
    d.description = description.isString() ? description.asString() : std::string();
    const Json::Value& placement = client::jsonMember(v, "placement");
    if (placement.isString() && placement.asString() == kOverlay)
        d.placement = Placement::Overlay;
    else if (placement.isString() && placement.asString() == kOscillator)
        d.placement = Placement::Oscillator;
    else if (!placement.isNull())
        return std::nullopt;
    const Json::Value& parameters = client::jsonMember(v, "parameters");
    if (!parameters.isNull()) {
        if (!parameters.isArray() || parameters.size() > kMaxParameters)
            return std::nullopt;
        for (const Json::Value& p : parameters) {
            std::optional<Parameter> parameter = parameterOf(p);
            if (!parameter)
                return std::nullopt;
            d.parameters.push_back(std::move(*parameter));
        }
    }
    return d;
}

// The first `bytes` bytes of `text`, cut at a character's start.
std::string cutAt(std::string_view text, std::size_t bytes)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + std::size_t(lexer::decode(text, end).length);
        if (next > bytes)
            break;
        end = next;
    }
    return std::string(text.substr(0, end));
}

std::string trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return std::string(s);
}

// One line of a header: "{名称:X}" gives the tag and X. Either colon, half or full width.
bool headerLine(std::string_view line, std::string& tag, std::string& value)
{
    const std::string t = trimmed(line);
    if (t.size() < 2 || t.front() != '{' || t.back() != '}')
        return false;
    const std::string_view inner = std::string_view(t).substr(1, t.size() - 2);
    for (const std::string_view candidate : {kNameTag, kDescriptionTag, kPlacementTag, kParameterTag}) {
        if (inner.substr(0, candidate.size()) != candidate)
            continue;
        std::string_view rest = inner.substr(candidate.size());
        if (rest.substr(0, 1) == ":")
            rest.remove_prefix(1);
        else if (rest.substr(0, 3) == "：")
            rest.remove_prefix(3);
        else
            return false;
        tag = std::string(candidate);
        value = trimmed(rest);
        return true;
    }
    return false;
}

std::vector<std::string> splitFields(const std::string& s)
{
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ',') {
            fields.push_back(trimmed(field));
            field.clear();
        } else if (s.compare(i, 3, "，") == 0) {
            fields.push_back(trimmed(field));
            field.clear();
            i += 2;
        } else {
            field += s[i];
        }
    }
    fields.push_back(trimmed(field));
    return fields;
}

// What a header comment may hold: its braces would end the comment.
std::string commentSafe(std::string_view s)
{
    std::string out;
    for (const char c : s) {
        if (c == '{')
            out += "｛";
        else if (c == '}')
            out += "｝";
        else if (c == '\n' || c == '\r' || c == '\t')
            out += ' ';
        else
            out += c;
    }
    return out;
}

std::string formulaNameProblem(std::string_view name)
{
    if (name.empty())
        return "公式名称是空的";
    if (name.size() > kMaxNameBytes)
        return "公式名称太长（最多 " + std::to_string(kMaxNameBytes) + " 个字节）";
    if (!client::isValidUtf8(name))
        return "公式名称含有无法识别的文字";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '{' || c == '}')
            return "公式名称不能含有控制字符和大括号";
    }
    if (name.front() == ' ' || name.back() == ' ')
        return "公式名称的首尾不能是空格";
    return {};
}

} // namespace

std::string numberText(double v)
{
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string titleOf(const Definition& d)
{
    if (d.parameters.empty())
        return d.name;
    std::string title = d.name + "(";
    for (std::size_t i = 0; i < d.parameters.size(); ++i)
        title += (i ? "," : "") + numberText(d.parameters[i].value);
    return title + ")";
}

Compiled compileDefinition(const Definition& d)
{
    return compile(d.text, d.parameters);
}

std::vector<Diagnostic> checkDefinition(const Definition& d, std::span<const std::string> otherNames)
{
    std::vector<Diagnostic> problems;
    const auto problem = [&](std::string message) { problems.push_back({0, 0, std::move(message)}); };
    if (const std::string why = formulaNameProblem(d.name); !why.empty())
        problem(why);
    else if (isBuiltinName(d.name))
        problem("公式名称 " + d.name + " 是内置指标的名称");
    else if (std::any_of(otherNames.begin(), otherNames.end(),
                         [&](const std::string& other) { return nameKey(other) == nameKey(d.name); }))
        problem("已经有名为 " + d.name + " 的公式");
    if (d.description.size() > kMaxDescriptionBytes)
        problem("说明太长（最多 " + std::to_string(kMaxDescriptionBytes) + " 个字节）");
    if (d.parameters.size() > kMaxParameters)
        problem("参数太多：最多 " + std::to_string(kMaxParameters) + " 个");
    for (const Parameter& p : d.parameters) {
        const std::string label = "参数 " + (p.name.empty() ? std::string("（无名）") : p.name) + "：";
        if (!std::isfinite(p.value) || !std::isfinite(p.minimum) || !std::isfinite(p.maximum))
            problem(label + "缺省值、最小值和最大值都要是数字");
        else if (p.minimum > p.maximum)
            problem(label + "最小值 " + numberText(p.minimum) + " 大于最大值 " + numberText(p.maximum));
        else if (p.value < p.minimum || p.value > p.maximum)
            problem(label + "缺省值 " + numberText(p.value) + " 不在 " + numberText(p.minimum) + " 到 "
                    + numberText(p.maximum) + " 之间");
    }
    // The text's errors, and those of the parameters' names, come from reading it.
    const Compiled compiled = compileDefinition(d);
    problems.insert(problems.end(), compiled.errors.begin(), compiled.errors.end());
    return problems;
}

std::optional<std::vector<Definition>> parseFormulaFile(std::string_view bytes)
{
    Json::Value root;
    if (!client::parseJson(client::localFileToUtf8(bytes), root) || !root.isObject())
        return std::nullopt;
    const Json::Value& list = client::jsonMember(root, "formulas");
    if (!list.isArray() || list.size() > kMaxFormulas)
        return std::nullopt;
    std::vector<Definition> formulas;
    for (const Json::Value& entry : list) {
        std::optional<Definition> d = definitionOf(entry);
        if (!d || !formulaNameProblem(d->name).empty() || isBuiltinName(d->name))
            return std::nullopt;
        const bool taken = std::any_of(formulas.begin(), formulas.end(),
                                       [&](const Definition& other) { return nameKey(other.name) == nameKey(d->name); });
        if (taken)
            return std::nullopt;
        formulas.push_back(std::move(*d));
    }
    return formulas;
}

std::string formulaFileText(std::span<const Definition> formulas)
{
    Json::Value root(Json::objectValue);
    Json::Value& list = root["formulas"];
    list = Json::Value(Json::arrayValue);
    for (const Definition& d : formulas) {
        Json::Value entry(Json::objectValue);
        entry["name"] = d.name;
        entry["description"] = d.description;
        entry["placement"] = d.placement == Placement::Overlay ? kOverlay : kOscillator;
        Json::Value& parameters = entry["parameters"];
        parameters = Json::Value(Json::arrayValue);
        for (const Parameter& p : d.parameters) {
            Json::Value parameter(Json::objectValue);
            parameter["name"] = p.name;
            parameter["default"] = p.value;
            parameter["min"] = p.minimum;
            parameter["max"] = p.maximum;
            parameters.append(parameter);
        }
        entry["text"] = d.text;
        list.append(entry);
    }
    // The texts as written, Chinese and all, so the file reads in any editor.
    Json::StreamWriterBuilder builder;
    builder["emitUTF8"] = true;
    builder["indentation"] = "  ";
    return Json::writeString(builder, root) + "\n";
}

FormulaFileRead readFormulas(const std::filesystem::path& dir)
{
    client::SettingsRead<std::vector<Definition>> read =
        client::SettingsFolder(dir).read(kFormulaFile, parseFormulaFile, kMaxFormulaFileBytes);
    return {read.value.value_or(std::vector<Definition>{}), std::move(read.failed)};
}

bool writeFormulas(const std::filesystem::path& dir, std::span<const Definition> formulas)
{
    return client::SettingsFolder(dir).write(kFormulaFile, formulaFileText(formulas));
}

std::string formulaFileProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("公式文件", failed,
                                       "本次只有内置公式可用，该文件未作改动；保存新的公式时会替换它。");
}

std::string exportText(const Definition& d)
{
    std::string out;
    out += "{" + std::string(kNameTag) + ":" + commentSafe(d.name) + "}\n";
    if (!d.description.empty())
        out += "{" + std::string(kDescriptionTag) + ":" + commentSafe(d.description) + "}\n";
    out += "{" + std::string(kPlacementTag) + ":"
           + std::string(d.placement == Placement::Overlay ? kOverlayWord : kOscillatorWord) + "}\n";
    for (const Parameter& p : d.parameters)
        out += "{" + std::string(kParameterTag) + ":" + commentSafe(p.name) + "," + numberText(p.value) + ","
               + numberText(p.minimum) + "," + numberText(p.maximum) + "}\n";
    return out + d.text;
}

Definition importText(std::string_view bytes, std::string_view fallbackName)
{
    std::string text = client::localFileToUtf8(bytes.substr(0, kMaxImportBytes));
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    // One kind of line end, as the editor writes them.
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            lines += text[i];
        }
    }
    Definition d;
    d.name = cutAt(fallbackName, kMaxNameBytes);
    std::size_t at = 0;
    std::size_t body = 0;
    while (at < lines.size()) {
        const std::size_t end = std::min(lines.find('\n', at), lines.size());
        const std::string_view line = std::string_view(lines).substr(at, end - at);
        std::string tag;
        std::string value;
        if (trimmed(line).empty()) {
            at = end + 1;
            continue;
        }
        if (!headerLine(line, tag, value))
            break;
        if (tag == kNameTag && !value.empty()) {
            d.name = cutAt(value, kMaxNameBytes);
        } else if (tag == kDescriptionTag) {
            d.description = cutAt(value, kMaxDescriptionBytes);
        } else if (tag == kPlacementTag) {
            d.placement = value == kOverlayWord || value == kOverlay ? Placement::Overlay : Placement::Oscillator;
        } else if (tag == kParameterTag && d.parameters.size() < kMaxParameters) {
            const std::vector<std::string> fields = splitFields(value);
            Parameter p;
            p.name = fields[0];
            const auto field = [&](std::size_t i) {
                return i < fields.size() ? client::wholeDecimal(fields[i]) : std::nullopt;
            };
            p.value = field(1).value_or(0);
            // A parameter written without its range gets a wide one, for the editor to narrow.
            p.minimum = field(2).value_or(std::min(0.0, p.value));
            p.maximum = field(3).value_or(std::max(1000.0, p.value));
            d.parameters.push_back(std::move(p));
        }
        at = end + 1;
        body = std::min(at, lines.size());
    }
    d.text = lines.substr(body);
    if (d.text.size() > kMaxTextBytes)
        d.text = cutAt(d.text, kMaxTextBytes);
    return d;
}

std::string exportFileName(const Definition& d)
{
    std::string name;
    for (const char c : d.name) {
        const auto u = static_cast<unsigned char>(c);
        const bool bad = u < 0x20 || u == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        name += bad ? '_' : c;
    }
    if (name.empty() || name == "." || name == "..")
        name = "formula";
    return name + ".txt";
}

} // namespace chart::formula
