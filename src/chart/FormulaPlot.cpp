#include "chart/FormulaPlot.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "chart/CDataElementFormula.h"
#include "chart/CSubAreaDisplayOneFormula.h"
#include "chart/CandleChart.h"
#include "chart/ChartCanvas.h"
#include "chart/formula/Program.h"

namespace chart {
namespace {

// A line without a colour of its own takes its place's: the averages' colours first, as the
// built-in lines are drawn, then BOLL's and two more.
constexpr std::array<Colour, 8> kLineColours{kAverageColours[0], kAverageColours[1], kAverageColours[2],
                                             kAverageColours[3], kBollColours[0],    kBollColours[1],
                                             kBollColours[2],    Rgb(160, 160, 255)};

CSubAreaDisplayOneFormula* formulaDisplay(ChartCanvas& canvas, const char* name)
{
    return dynamic_cast<CSubAreaDisplayOneFormula*>(canvas.findDisplay(name));
}

} // namespace

void FormulaPlot::addDisplays(ChartCanvas& canvas)
{
    canvas.AddDisplay(DisplayKind::Formula, 0, kOverlayDisplay);
    if (CSubAreaDisplayOne* overlay = canvas.findDisplay(kOverlayDisplay))
        overlay->setOverlay(true);
    canvas.AddDisplay(DisplayKind::Formula, 2, kOscillatorDisplay);
    nameDisplays(canvas);
}

void FormulaPlot::set(ChartCanvas& canvas, const formula::Definition* d)
{
    if (d != (m_definition ? &*m_definition : nullptr))
        m_definition = d ? std::optional<formula::Definition>(*d) : std::nullopt;
    m_evaluation.reset();
    if (m_definition) {
        const formula::Compiled compiled = formula::compileDefinition(*m_definition);
        if (compiled.ok())
            m_evaluation = std::make_unique<formula::Evaluation>(compiled.program);
    }
    m_whole = true;
    for (const char* name : {kOverlayDisplay, kOscillatorDisplay})
        canvas.truncateDisplay(name, 0);
    nameDisplays(canvas);
}

bool FormulaPlot::inOscillatorArea() const
{
    return m_evaluation && m_definition->placement == formula::Placement::Oscillator;
}

const char* FormulaPlot::displayName() const
{
    return m_definition && m_definition->placement == formula::Placement::Overlay ? kOverlayDisplay
                                                                                 : kOscillatorDisplay;
}

void FormulaPlot::nameDisplays(ChartCanvas& canvas) const
{
    for (const char* name : {kOverlayDisplay, kOscillatorDisplay}) {
        CSubAreaDisplayOneFormula* display = formulaDisplay(canvas, name);
        if (!display)
            continue;
        std::vector<CSubAreaDisplayOneFormula::Line> lines;
        const bool drawn = m_evaluation && std::string_view(name) == displayName();
        if (drawn) {
            const auto& outputs = m_evaluation->outputs();
            for (std::size_t k = 0; k < outputs.size(); ++k) {
                const formula::OutputSpec& o = outputs[k];
                const Colour colour = o.colour ? Rgb(o.colour->red, o.colour->green, o.colour->blue)
                                               : kLineColours[k % kLineColours.size()];
                lines.push_back({o.name, o.style, colour, o.thickness});
            }
        }
        display->setLines(std::move(lines));
        display->setLegend(drawn ? formula::titleOf(*m_definition) : std::string());
    }
}

void FormulaPlot::fill(ChartCanvas& canvas, std::span<const CandleRecord> candles, std::size_t from)
{
    if (!m_evaluation) {
        for (const char* name : {kOverlayDisplay, kOscillatorDisplay})
            canvas.truncateDisplay(name, 0);
        return;
    }
    const std::size_t n = candles.size();
    if (m_whole)
        from = 0;
    m_whole = false;
    from = std::min({from, m_history.size(), n});
    m_history.resize(n);
    for (std::size_t i = from; i < n; ++i) {
        const CandleRecord& c = candles[i];
        m_history.set(i, {c.open, c.high, c.low, c.close, double(c.vol)});
    }
    from = m_evaluation->update(m_history, from);
    const auto& outputs = m_evaluation->outputs();
    const std::size_t count = std::min(outputs.size(), CDataElementFormula::kMaxValues);
    std::uint8_t ranged = 0;
    for (std::size_t k = 0; k < count; ++k)
        if (outputs[k].style != formula::Style::NoDraw)
            ranged = std::uint8_t(ranged | (1u << k));
    std::array<std::span<const double>, CDataElementFormula::kMaxValues> lines{};
    for (std::size_t k = 0; k < count; ++k)
        lines[k] = m_evaluation->line(k);
    canvas.refillDisplay(displayName(), from, n, [&](std::size_t i) {
        CDataElementFormula e;
        e.count = std::uint8_t(count);
        e.ranged = ranged;
        for (std::size_t k = 0; k < count; ++k)
            e.values[k] = lines[k][i];
        e.rising = candles[i].close >= candles[i].open;
        return e;
    });
    canvas.truncateDisplay(std::string_view(displayName()) == kOverlayDisplay ? kOscillatorDisplay : kOverlayDisplay, 0);
}

} // namespace chart
