#include "chart/MarketCharts.h"

#include <QAction>
#include <QMenu>
#include <QString>

#include "chart/CKBarCtrl.h"
#include "chart/CandleChart.h"
#include "chart/DrawingLayer.h"
#include "chart/DrawingToolbar.h"
#include "chart/FormulaBook.h"
#include "chart/FormulaManagerDlg.h"
#include "chart/IndicatorActions.h"
#include "chart/IndicatorSettings.h"
#include "chart/TimelineChart.h"
#include "platform/Dialogs.h"
#include "platform/SaveFile.h"
#include "platform/Trace.h"

namespace chart {

MarketCharts::MarketCharts() = default;

// The controls belong to their parent window; the chart states refer to them.
MarketCharts::~MarketCharts() = default;

bool MarketCharts::Create(QWidget* parent, const QRect& chartRect, int visibleBarCount,
                          const std::filesystem::path& settingsDir)
{
    m_visibleBarCount = visibleBarCount;
    m_settingsDir = settingsDir;
    if (!m_candles) {
        m_candles = new CKBarCtrl(parent);
        m_candleChart = std::make_unique<CandleChart>(*m_candles);
    }
    if (!m_timeline) {
        m_timeline = new CKBarCtrl(parent);
        m_timelineChart = std::make_unique<TimelineChart>(*m_timeline);
    }
    const bool ok = m_candles->Create(parent, chartRect, CKBarCtrl::kCandleChartId)
                    && m_timeline->Create(parent, chartRect, CKBarCtrl::kTimelineChartId);
    hideBoth();
    if (m_indicators)
        return ok;

    m_parent = parent;
    m_formulas = new FormulaBook(m_settingsDir, parent);
    if (const std::string problem = m_formulas->load(); !problem.empty()) {
        const QString text = QString::fromStdString(problem);
        qCWarning(lcVelmoraTrace).noquote() << text;
        platform::messageBox(parent, text, platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    }
    const IndicatorFileChoice read = readIndicatorChoice(m_settingsDir);
    if (!read.failed.empty()) {
        const QString text = QString::fromStdString(indicatorFileProblemText(read.failed));
        qCWarning(lcVelmoraTrace).noquote() << text;
        platform::messageBox(parent, text, platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    }
    m_candleChart->setIndicators(read.choice, formulaOf(read.choice));
    m_timelineChart->setCentredOnPreviousClose(read.choice.timelineOnPreviousClose);
    m_indicators = new IndicatorActions(parent);
    offerFormulas();
    m_indicators->setChoice(read.choice);
    m_indicators->setChangeHandler([this](const IndicatorChoice& choice) { choose(choice); });
    QObject::connect(m_indicators->formulaManagerAction(), &QAction::triggered, parent, [this] { manageFormulas(); });
    QObject::connect(m_formulas, &FormulaBook::changed, parent, [this](const QString& oldName, const QString& newName) {
        formulaChanged(oldName.toStdString(), newName.toStdString());
    });
    m_contextMenu = new QMenu(m_candles);
    m_contextMenu->setObjectName(QStringLiteral("indicatorMenu"));
    m_indicators->addTo(m_contextMenu, false);
    m_candles->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(m_candles, &QWidget::customContextMenuRequested, m_contextMenu,
                     [this](const QPoint& at) {
                         // The drawing commands act on the drawing under the mouse.
                         m_drawingMenu->setEnabled(m_drawings->selectAt(at) >= 0);
                         m_contextMenu->popup(m_candles->mapToGlobal(at));
                     });
    createDrawings(parent);
    return ok;
}

void MarketCharts::createDrawings(QWidget* parent)
{
    m_drawings = new DrawingLayer(*m_candles, m_settingsDir, m_candles);
    if (!m_drawings->brokenFile().empty()) {
        const QString text = QString::fromStdString(drawingsFileProblemText(m_drawings->brokenFile()));
        qCWarning(lcVelmoraTrace).noquote() << text;
        platform::messageBox(parent, text, platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    }
    m_candles->setDrawingLayer(m_drawings);
    m_candleChart->setLoadedHandler([this](int item, int period, const std::vector<CandleRecord>& records) {
        m_drawings->setCandles(item, period, records);
    });
    m_drawingToolbar = new DrawingToolbar(*m_drawings, m_candles);
    m_drawingToolbar->move(2, 22);
    m_drawingToolbar->hide();
    m_drawingTools = new QAction(QStringLiteral("画线工具"), m_candles);
    m_drawingTools->setObjectName(QStringLiteral("drawingTools"));
    m_drawingTools->setCheckable(true);
    QObject::connect(m_drawingTools, &QAction::toggled, m_drawingToolbar, [this](bool on) {
        m_drawingToolbar->setVisible(on);
        if (!on)
            m_drawings->setTool(std::nullopt);
    });
    m_contextMenu->addSeparator();
    m_contextMenu->addAction(m_drawingTools);
    m_drawingMenu = m_contextMenu->addMenu(QStringLiteral("画线"));
    m_drawingMenu->setObjectName(QStringLiteral("drawingMenu"));
    QAction* remove = m_drawingMenu->addAction(QStringLiteral("删除画线"), m_drawings, &DrawingLayer::removeSelected);
    remove->setObjectName(QStringLiteral("drawingDelete"));
    QAction* removeAll = m_contextMenu->addAction(QStringLiteral("删除本品种全部画线"), m_drawings, &DrawingLayer::removeAll);
    removeAll->setObjectName(QStringLiteral("drawingDeleteAll"));
    QMenu* colours = m_drawingMenu->addMenu(QStringLiteral("颜色"));
    const std::pair<const char*, Colour> kColours[] = {{"黄色", Rgb(255, 255, 0)}, {"白色", Rgb(255, 255, 255)},
                                                       {"红色", Rgb(255, 60, 60)},  {"绿色", Rgb(60, 220, 90)},
                                                       {"青色", Rgb(0, 220, 255)},  {"紫色", Rgb(220, 90, 255)}};
    for (const auto& [name, colour] : kColours)
        colours->addAction(QString::fromUtf8(name), m_drawings, [this, c = colour] { m_drawings->recolourSelected(c); });
    QMenu* styles = m_drawingMenu->addMenu(QStringLiteral("线型"));
    const std::pair<const char*, LineStyle> kStyles[] = {
        {"实线", LineStyle::Solid}, {"虚线", LineStyle::Dash}, {"点线", LineStyle::Dot}};
    for (const auto& [name, style] : kStyles)
        styles->addAction(QString::fromUtf8(name), m_drawings, [this, s = style] { m_drawings->restyleSelected(s); });
}

void MarketCharts::choose(const IndicatorChoice& choice)
{
    m_candleChart->setIndicators(choice, formulaOf(choice));
    m_timelineChart->setCentredOnPreviousClose(choice.timelineOnPreviousClose);
    // Written only when the user chooses, so an unreadable file stays until then.
    if (!writeIndicatorChoice(m_settingsDir, choice))
        platform::reportSaveFailed(m_parent, QString::fromStdString((m_settingsDir / kIndicatorFile).string()));
}

const formula::Definition* MarketCharts::formulaOf(const IndicatorChoice& choice) const
{
    return choice.formula.empty() ? nullptr : m_formulas->find(choice.formula);
}

void MarketCharts::offerFormulas()
{
    std::vector<IndicatorActions::FormulaItem> items;
    for (const formula::Definition& d : m_formulas->formulas())
        items.push_back({d.name, formula::titleOf(d), formula::compileDefinition(d).ok()});
    m_indicators->setFormulas(items);
}

void MarketCharts::formulaChanged(const std::string& oldName, const std::string& newName)
{
    offerFormulas();
    IndicatorChoice choice = m_indicators->choice();
    const std::string chosen = formula::nameKey(choice.formula);
    if (choice.formula.empty() || (chosen != formula::nameKey(oldName) && chosen != formula::nameKey(newName)))
        return;
    if (chosen == formula::nameKey(newName)) {
        // The chosen formula was edited (or one of its name came back): drawn anew.
        m_candleChart->setIndicators(choice, formulaOf(choice));
        return;
    }
    // Renamed, the choice follows it; deleted, the chart shows no formula.
    choice.formula = newName;
    m_indicators->setChoice(choice);
    choose(choice);
}

void MarketCharts::manageFormulas()
{
    if (!m_formulaManager)
        m_formulaManager = new FormulaManagerDlg(*m_formulas, m_parent);
    m_formulaManager->showFormulas(m_indicators->choice().formula);
}

void MarketCharts::showTimeline(PeriodBar::Flags& flags)
{
    if (!m_timeline)
        return;
    flags.fill(0);
    m_candles->hide();
    m_timelineChart->setUp();
    m_timeline->show();
    m_view = View::Timeline;
}

int MarketCharts::showCandles(PeriodBar::Flags& flags)
{
    const int code = PeriodBar::PeriodCode(flags);
    if (code == kDefaultPeriodCode)
        flags[kDefaultPeriodCode - 1] = 1;
    if (!m_candles)
        return code;
    m_timeline->hide();
    m_candleChart->setUp();
    m_candles->show();
    m_view = View::Candles;
    return code;
}

void MarketCharts::hideBoth()
{
    if (m_candles)
        m_candles->hide();
    if (m_timeline)
        m_timeline->hide();
    m_view = View::None;
}

bool MarketCharts::applyCandles(const CandleBatch& batch)
{
    return m_candleChart && m_candleChart->apply(batch, m_visibleBarCount);
}

bool MarketCharts::applyTimeline(const TimelineBatch& batch)
{
    return m_timelineChart && m_timelineChart->apply(batch);
}

bool MarketCharts::LoadCandles(std::string_view wireReply, int periodCode, const market::CurrentItem& item)
{
    return m_candleChart && m_candleChart->load(wireReply, periodCode, m_visibleBarCount, item);
}

bool MarketCharts::LoadTimeline(std::string_view wireReply, const market::CurrentItem& item)
{
    return m_timelineChart && m_timelineChart->load(wireReply, item);
}

void MarketCharts::showItem(const market::CurrentItem& item)
{
    if (m_candleChart)
        m_candleChart->showItem(item);
    if (m_timelineChart)
        m_timelineChart->showItem(item);
}

} // namespace chart
