#include "ChartHost.h"

#include <QTest>

#include "chart/CKBarCtrl.h"

bool ChartHost::open()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(1700, 800);
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window.get());
}

void ChartHost::close()
{
    // The charts refer to their controls, which the window deletes.
    m_candles.clear();
    m_timelines.clear();
    m_window.reset();
}

chart::CandleChart* ChartHost::candles(const chart::IndicatorChoice& choice)
{
    auto* ctrl = new CKBarCtrl;
    if (!ctrl->Create(m_window.get(), kChartRect, CKBarCtrl::kCandleChartId))
        return nullptr;
    m_candles.push_back(std::make_unique<chart::CandleChart>(*ctrl));
    m_candles.back()->setIndicators(choice);
    m_candles.back()->setUp();
    return m_candles.back().get();
}

chart::TimelineChart* ChartHost::timeline()
{
    auto* ctrl = new CKBarCtrl;
    if (!ctrl->Create(m_window.get(), kChartRect, CKBarCtrl::kTimelineChartId))
        return nullptr;
    m_timelines.push_back(std::make_unique<chart::TimelineChart>(*ctrl));
    m_timelines.back()->setUp();
    return m_timelines.back().get();
}
