#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include <QPointer>
#include <QRect>

#include "chart/CandleChart.h"
#include "chart/PeriodBar.h"
#include "chart/TimelineChart.h"
#include "session/Records.h"

class CKBarCtrl;
class QAction;
class QMenu;
class QWidget;

namespace chart {

class DrawingLayer;
class DrawingToolbar;
class FormulaBook;
class FormulaManagerDlg;
class IndicatorActions;

// The market window's two charts in one place: the candle chart (id 1000) and the time-share
// chart (id 1001), created together in the chart rectangle, shown one at a time, each set up
// the first time it is shown. The market poller's readers hand them what they read.
class MarketCharts final
{
public:
    enum class View { None, Timeline, Candles };

    MarketCharts();
    ~MarketCharts();
    MarketCharts(const MarketCharts&) = delete;
    MarketCharts& operator=(const MarketCharts&) = delete;

    // Creates both controls hidden as children of `parent` at `chartRect`; the window's
    // VisibleBarCount sizes the candle window. The indicator choice is read from
    // `settingsDir`; a file there that cannot be read is named in a message.
    bool Create(QWidget* parent, const QRect& chartRect, int visibleBarCount,
                const std::filesystem::path& settingsDir = ".");
    CKBarCtrl* Candles() const { return m_candles; }
    CKBarCtrl* Timeline() const { return m_timeline; }
    CandleChart* candleView() const { return m_candleChart.get(); }

    // The indicator commands, for the window's "分析" menu; the candle chart's context menu
    // has them too. A choice the user makes is shown and saved at once.
    IndicatorActions* indicators() const { return m_indicators; }
    // The trader's own formulas ("formulas" in the settings folder), chosen with the
    // indicators; "公式管理..." opens their manager.
    FormulaBook* formulas() const { return m_formulas; }

    // The drawings on the candles, and "画线工具", which shows and hides their toolbar, for
    // the "分析" menu; the candle chart's context menu has it too, with the commands on the
    // drawing under the mouse.
    DrawingLayer* drawings() const { return m_drawings; }
    DrawingToolbar* drawingToolbar() const { return m_drawingToolbar; }
    QAction* drawingToolsAction() const { return m_drawingTools; }
    QMenu* contextMenu() const { return m_contextMenu; }

    // Chart tab 0: shows the time-share chart and clears the period flags. Ask for the time-share series next.
    void showTimeline(PeriodBar::Flags& flags);
    // Chart tab 1: shows the candle chart and returns the period code to ask candles of;
    // with no period chosen it marks the daily period.
    int showCandles(PeriodBar::Flags& flags);
    void hideBoth();
    View Visible() const { return m_view; }

    // What the market poller read, taken and drawn.
    bool applyCandles(const CandleBatch& batch);
    bool applyTimeline(const TimelineBatch& batch);
    // A reply text as received, read here, and the item it was asked for.
    bool LoadCandles(std::string_view wireReply, int periodCode, const market::CurrentItem& item = {});
    bool LoadTimeline(std::string_view wireReply, const market::CurrentItem& item = {});
    // Both charts empty for a newly chosen item until its replies arrive.
    void showItem(const market::CurrentItem& item);

private:
    void createDrawings(QWidget* parent);
    // Shows the choice and keeps it in the settings folder.
    void choose(const IndicatorChoice& choice);
    const formula::Definition* formulaOf(const IndicatorChoice& choice) const;
    void offerFormulas();
    void formulaChanged(const std::string& oldName, const std::string& newName);
    void manageFormulas();

    CKBarCtrl* m_candles = nullptr;
    CKBarCtrl* m_timeline = nullptr;
    std::unique_ptr<CandleChart> m_candleChart;
    std::unique_ptr<TimelineChart> m_timelineChart;
    IndicatorActions* m_indicators = nullptr;
    FormulaBook* m_formulas = nullptr;
    QPointer<FormulaManagerDlg> m_formulaManager;
    QWidget* m_parent = nullptr;
    QMenu* m_contextMenu = nullptr;
    DrawingLayer* m_drawings = nullptr;
    DrawingToolbar* m_drawingToolbar = nullptr;
    QAction* m_drawingTools = nullptr;
    QMenu* m_drawingMenu = nullptr;
    std::filesystem::path m_settingsDir;
    int m_visibleBarCount = 0;
    View m_view = View::None;
};

} // namespace chart
