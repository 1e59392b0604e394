#pragma once

#include <string>
#include <vector>

#include "chart/CSubAreaDisplayOne.h"
#include "chart/formula/Language.h"

class CDataElementFormula;

// The lines of a trader's formula in one sub-area, each drawn its own way: a line or a
// dotted line joined from slot to slot, bars from zero (STICK in the line's colour,
// COLORSTICK in the rise colour above zero and the fall colour below), volume bars (hollow on
// a rising candle, filled on a falling one), a line with bars, or nothing (NODRAW: the
// legend only). Bars are drawn first, lines over them.
class CSubAreaDisplayOneFormula final : public CSubAreaDisplayOne
{
public:
    struct Line
    {
        std::string name;
        chart::formula::Style style = chart::formula::Style::Line;
        chart::Colour colour = chart::kBlack;
        int thickness = 1;
    };

    explicit CSubAreaDisplayOneFormula(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void setLines(std::vector<Line> lines) { m_lines = std::move(lines); }
    const std::vector<Line>& lines() const { return m_lines; }
    // Line k's colour at an element: its own, or for the bars coloured by the market the
    // rise or fall colour of the value (COLORSTICK) or of the candle (VOLSTICK).
    chart::Colour colourAt(std::size_t k, const CDataElementFormula& e) const;

    void drawSlot(QPainter& p, const DisplaySlot& slot) override;
    void eraseSlot(QPainter& p, const DisplaySlot& slot) override;
    void Connect(QPainter& p, int from, int to, chart::Colour colour) override;
    bool joinsSlots() const override;
    bool reachesZero() const override;

protected:
    void fillBody(DisplaySlot& slot) const override;

private:
    std::vector<Line> m_lines;
};
