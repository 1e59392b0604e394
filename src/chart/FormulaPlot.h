#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "chart/ChartReplies.h"
#include "chart/formula/Definition.h"
#include "chart/formula/Evaluator.h"

namespace chart {

class ChartCanvas;

// A trader's formula on the K-line: read once when it is chosen, evaluated over the candle
// history from the first changed candle on each poll, its lines handed to the formula display
// of the area it is placed in (over the candles, or the oscillator area with a scale of its
// own) and named in that area's legend with its parameters.
class FormulaPlot final
{
public:
    static constexpr const char* kOverlayDisplay = "N9";
    static constexpr const char* kOscillatorDisplay = "I5";

    // The two displays, at the chart's first show; the formula in force is shown on them.
    void addDisplays(ChartCanvas& canvas);

    // Shows `d` (nullptr: none) from the next fill; a formula whose text does not read is
    // not drawn. The displays are emptied and named again.
    void set(ChartCanvas& canvas, const formula::Definition* d);
    const std::optional<formula::Definition>& definition() const { return m_definition; }
    // Drawn in the oscillator area: the area has to be shown.
    bool inOscillatorArea() const;

    // Brings the lines up to date with `candles`, whose records before `from` are those of the
    // last fill, and refills the display from there.
    void fill(ChartCanvas& canvas, std::span<const CandleRecord> candles, std::size_t from);

private:
    void nameDisplays(ChartCanvas& canvas) const;
    const char* displayName() const;

    std::optional<formula::Definition> m_definition;
    std::unique_ptr<formula::Evaluation> m_evaluation; // none when nothing is drawn
    formula::History m_history;
    bool m_whole = true; // the next fill computes the whole history
};

} // namespace chart
