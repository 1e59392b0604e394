#pragma once

#include <memory>
#include <vector>

#include <QRect>
#include <QWidget>

#include "chart/CandleChart.h"
#include "chart/TimelineChart.h"

// A shown window holding chart controls where the market window puts them, each with the
// chart that draws on it, made set up.
class ChartHost final
{
public:
    static constexpr QRect kChartRect{29, 105, 1571, 666};

    // False when the window could not be shown.
    bool open();
    void close();
    QWidget* window() const { return m_window.get(); }

    chart::CandleChart* candles(const chart::IndicatorChoice& choice = {});
    chart::TimelineChart* timeline();

private:
    std::unique_ptr<QWidget> m_window;
    std::vector<std::unique_ptr<chart::CandleChart>> m_candles;
    std::vector<std::unique_ptr<chart::TimelineChart>> m_timelines;
};
