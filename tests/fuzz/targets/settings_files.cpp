// Every settings file the terminal keeps in its folder, fed the same bytes: none may throw,
// and what each writes back must read as the same value.
#include "chart/Drawings.h"
#include "chart/IndicatorSettings.h"
#include "client/CodePage.h"
#include "client/ServerLine.h"
#include "controls/ColumnWidths.h"
#include "fuzz/FuzzCheck.h"
#include "market/core/ChosenItem.h"
#include "market/core/Watchlist.h"

namespace {

// The names the terminal itself gives its lists and columns: UTF-8 without a NUL, which the
// JSON writer would cut.
bool writableName(const std::string& name)
{
    return client::isValidUtf8(name) && name.find('\0') == std::string::npos;
}

bool writableNames(const controls::ColumnWidthChoices& choices)
{
    for (const auto& [list, widths] : choices) {
        if (!writableName(list))
            return false;
        for (const auto& [caption, width] : widths)
            if (!writableName(caption))
                return false;
    }
    return true;
}

bool writableTexts(const chart::DrawingBook::Items& items)
{
    for (const auto& [item, drawings] : items)
        for (const chart::Drawing& d : drawings)
            if (!writableName(d.text))
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::text(data, size);
    if (const auto choice = chart::parseIndicatorChoice(bytes))
        FUZZ_CHECK(chart::parseIndicatorChoice(chart::indicatorChoiceText(*choice)) == choice);
    if (const auto drawings = chart::parseDrawings(bytes); drawings && writableTexts(*drawings))
        FUZZ_CHECK(chart::parseDrawings(chart::drawingsText(*drawings)) == drawings);
    if (const auto widths = controls::parseColumnWidths(bytes); widths && writableNames(*widths))
        FUZZ_CHECK(controls::parseColumnWidths(controls::columnWidthsText(*widths)) == widths);
    if (const auto codes = market::parseWatchlist(bytes))
        FUZZ_CHECK(market::parseWatchlist(market::watchlistText(*codes)) == codes);
    if (const auto code = market::parseChosenItem(bytes))
        FUZZ_CHECK(*code > 0 && market::parseChosenItem(std::to_string(*code) + "\n") == code);
    const std::optional<int> line = client::parseLineChoice(bytes);
    FUZZ_CHECK(!line || *line == 0 || *line == 1);
    return 0;
}
