#include "chart/MarketCharts.h"

#include "chart/CKBarCtrl.h"
#include "chart/CandleChart.h"
#include "chart/TimelineChart.h"

namespace chart {

bool MarketCharts::Create(QWidget* parent, const QRect& chartRect, int visibleBarCount)
{
    m_visibleBarCount = visibleBarCount;
    if (!m_candles)
        m_candles = new CKBarCtrl(parent);
    if (!m_timeline)
        m_timeline = new CKBarCtrl(parent);
    const bool ok = m_candles->Create(parent, chartRect, CKBarCtrl::kCandleChartId)
                    && m_timeline->Create(parent, chartRect, CKBarCtrl::kTimelineChartId);
    HideBoth();
    return ok;
}

void MarketCharts::ShowTimeline(PeriodBar::Flags& flags)
{
    if (!m_timeline)
        return;
    flags.fill(0);
    m_candles->hide();
    if (!m_timelineSetUp) {
        SetUpTimelineChart(*m_timeline);
        m_timelineSetUp = true;
    }
    m_timeline->show();
    m_view = View::Timeline;
}

int MarketCharts::ShowCandles(PeriodBar::Flags& flags)
{
    const int code = PeriodBar::PeriodCode(flags);
    if (code == kDefaultPeriodCode)
        flags[kDefaultPeriodCode - 1] = 1;
    if (!m_candles)
        return code;
    m_timeline->hide();
    if (!m_candlesSetUp) {
        SetUpCandleChart(*m_candles);
        m_candlesSetUp = true;
    }
    m_candles->show();
    m_view = View::Candles;
    return code;
}

void MarketCharts::HideBoth()
{
    if (m_candles)
        m_candles->hide();
    if (m_timeline)
        m_timeline->hide();
    m_view = View::None;
}

bool MarketCharts::LoadCandles(std::string_view wireReply, int periodCode)
{
    return m_candles && chart::LoadCandles(*m_candles, wireReply, periodCode, m_visibleBarCount);
}

bool MarketCharts::LoadTimeline(std::string_view wireReply)
{
    return m_timeline && chart::LoadTimeline(*m_timeline, wireReply);
}

} // namespace chart
