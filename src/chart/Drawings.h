#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/ChartColour.h"
#include "chart/DrawingGeometry.h"

// The trader's drawings, per item, with the undo of the changes made to them, and their file.
namespace chart {

inline constexpr const char* kDrawingsFile = "drawings";

enum class LineStyle { Solid, Dash, Dot };

struct Drawing
{
    drawing::Shape shape = drawing::Shape::Segment;
    std::vector<drawing::Anchor> points;
    Colour colour = Rgb(255, 255, 0);
    LineStyle style = LineStyle::Solid;
    std::string text; // a text note's words
    bool operator==(const Drawing&) const = default;
};

// Every item's drawings, and the steps that undo the last changes (add, move, delete).
class DrawingBook final
{
public:
    using Items = std::map<int, std::vector<Drawing>>;

    DrawingBook() = default;
    explicit DrawingBook(Items items) : m_items(std::move(items)) {}

    const std::vector<Drawing>& of(int item) const;
    const Items& items() const { return m_items; }

    void add(int item, Drawing d);
    // Replaces drawing `index` (moved, recoloured); false when there is none.
    bool change(int item, std::size_t index, Drawing d);
    bool remove(int item, std::size_t index);
    // Every drawing of the item, undone in one step.
    bool removeAll(int item);
    // Undoes the item's last change; false when there is none.
    bool undo(int item);

private:
    struct Step
    {
        std::vector<Drawing> before; // the item's drawings before the change
    };
    Items m_items;
    std::map<int, std::vector<Step>> m_undo;
};

// The file's text, and its reading: nullopt for anything the terminal does not write.
std::string drawingsText(const DrawingBook::Items& items);
std::optional<DrawingBook::Items> parseDrawings(std::string_view bytes);

struct DrawingsFile
{
    DrawingBook::Items items;
    std::filesystem::path failed; // the file, when it exists but could not be used
};
DrawingsFile readDrawings(const std::filesystem::path& dir);
bool writeDrawings(const std::filesystem::path& dir, const DrawingBook::Items& items);
std::string drawingsFileProblemText(const std::filesystem::path& failed);

} // namespace chart
