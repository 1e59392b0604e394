#include "chart/Drawings.h"

#include <cmath>

#include <json/value.h>
#include <json/writer.h>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/SettingsFolder.h"

namespace chart {
namespace {

// Drawings of many items over years of candles outgrow the other settings files.
constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

struct ShapeName
{
    drawing::Shape shape;
    const char* name;
};
constexpr ShapeName kShapeNames[] = {
    {drawing::Shape::Segment, "segment"},     {drawing::Shape::Ray, "ray"},
    {drawing::Shape::Line, "line"},           {drawing::Shape::Horizontal, "horizontal"},
    {drawing::Shape::Channel, "channel"},     {drawing::Shape::Fibonacci, "fibonacci"},
    {drawing::Shape::Rectangle, "rectangle"}, {drawing::Shape::Text, "text"},
};
constexpr const char* kStyleNames[] = {"solid", "dash", "dot"};

std::optional<drawing::Shape> shapeNamed(const std::string& name)
{
    for (const ShapeName& s : kShapeNames)
        if (name == s.name)
            return s.shape;
    return std::nullopt;
}

const char* nameOf(drawing::Shape shape)
{
    for (const ShapeName& s : kShapeNames)
        if (s.shape == shape)
            return s.name;
    return "segment";
}

std::optional<Drawing> drawingOf(const Json::Value& v)
{
    if (!v.isObject())
        return std::nullopt;
    const Json::Value& shape = client::jsonMember(v, "shape");
    const Json::Value& points = client::jsonMember(v, "points");
    if (!shape.isString() || !points.isArray())
        return std::nullopt;
    Drawing d;
    const std::optional<drawing::Shape> s = shapeNamed(shape.asString());
    if (!s)
        return std::nullopt;
    d.shape = *s;
    for (const Json::Value& p : points) {
        if (!p.isArray() || p.size() != 2 || !p[0].isInt64() || !p[1].isNumeric() || !std::isfinite(p[1].asDouble()))
            return std::nullopt;
        d.points.push_back({p[0].asInt64(), p[1].asDouble()});
    }
    if (int(d.points.size()) != drawing::pointCount(d.shape))
        return std::nullopt;
    const Json::Value& colour = client::jsonMember(v, "colour");
    if (colour.isUInt() && colour.asUInt() <= 0xffffff)
        d.colour = colour.asUInt();
    const Json::Value& style = client::jsonMember(v, "style");
    for (int i = 0; i < 3; ++i)
        if (style.isString() && style.asString() == kStyleNames[i])
            d.style = LineStyle(i);
    const Json::Value& text = client::jsonMember(v, "text");
    if (text.isString())
        d.text = text.asString();
    return d;
}

} // namespace

const std::vector<Drawing>& DrawingBook::of(int item) const
{
    static const std::vector<Drawing> kNone;
    const auto it = m_items.find(item);
    return it == m_items.end() ? kNone : it->second;
}

void DrawingBook::add(int item, Drawing d)
{
    m_undo[item].push_back({of(item)});
    m_items[item].push_back(std::move(d));
}

bool DrawingBook::change(int item, std::size_t index, Drawing d)
{
    if (index >= of(item).size() || of(item)[index] == d)
        return false;
    m_undo[item].push_back({of(item)});
    m_items[item][index] = std::move(d);
    return true;
}

bool DrawingBook::remove(int item, std::size_t index)
{
    if (index >= of(item).size())
        return false;
    m_undo[item].push_back({of(item)});
    auto& list = m_items[item];
    list.erase(list.begin() + std::ptrdiff_t(index));
    return true;
}

bool DrawingBook::removeAll(int item)
{
    if (of(item).empty())
        return false;
    m_undo[item].push_back({of(item)});
    m_items[item].clear();
    return true;
}

bool DrawingBook::undo(int item)
{
    auto it = m_undo.find(item);
    if (it == m_undo.end() || it->second.empty())
        return false;
    m_items[item] = std::move(it->second.back().before);
    it->second.pop_back();
    return true;
}

std::string drawingsText(const DrawingBook::Items& items)
{
    Json::Value root(Json::objectValue);
    Json::Value& all = root["items"];
    all = Json::Value(Json::objectValue);
    for (const auto& [item, drawings] : items) {
        if (drawings.empty())
            continue;
        Json::Value list(Json::arrayValue);
        for (const Drawing& d : drawings) {
            Json::Value v(Json::objectValue);
            v["shape"] = nameOf(d.shape);
            Json::Value& points = v["points"];
            points = Json::Value(Json::arrayValue);
            for (const drawing::Anchor& a : d.points) {
                Json::Value p(Json::arrayValue);
                p.append(Json::Int64(a.time));
                p.append(a.price);
                points.append(p);
            }
            v["colour"] = Json::UInt(d.colour);
            v["style"] = kStyleNames[int(d.style)];
            if (!d.text.empty())
                v["text"] = d.text;
            list.append(v);
        }
        all[std::to_string(item)] = list;
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = " ";
    writer["emitUTF8"] = true;
    return Json::writeString(writer, root);
}

std::optional<DrawingBook::Items> parseDrawings(std::string_view bytes)
{
    Json::Value root;
    if (!client::parseJson(client::localFileToUtf8(bytes), root) || !root.isObject())
        return std::nullopt;
    const Json::Value& all = client::jsonMember(root, "items");
    if (!all.isObject())
        return std::nullopt;
    DrawingBook::Items items;
    for (const std::string& key : all.getMemberNames()) {
        int item = 0;
        const std::string_view k(key);
        for (const char c : k) {
            if (c < '0' || c > '9' || item > 99999999)
                return std::nullopt;
            item = item * 10 + (c - '0');
        }
        const Json::Value& list = all[key];
        if (k.empty() || !list.isArray())
            return std::nullopt;
        for (const Json::Value& v : list) {
            std::optional<Drawing> d = drawingOf(v);
            if (!d)
                return std::nullopt;
            items[item].push_back(std::move(*d));
        }
    }
    return items;
}

DrawingsFile readDrawings(const std::filesystem::path& dir)
{
    client::SettingsRead<DrawingBook::Items> read = client::SettingsFolder(dir).read(kDrawingsFile, parseDrawings, kMaxFileBytes);
    return {read.value.value_or(DrawingBook::Items{}), std::move(read.failed)};
}

bool writeDrawings(const std::filesystem::path& dir, const DrawingBook::Items& items)
{
    return client::SettingsFolder(dir).write(kDrawingsFile, drawingsText(items));
}

std::string drawingsFileProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("画线文件", failed, "本次不显示画线，该文件未作改动。");
}

} // namespace chart
