#include "chart/IndicatorActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "chart/MaPeriodsDlg.h"
#include "chart/formula/Language.h"

namespace chart {
namespace {

struct OscillatorCommand
{
    Oscillator oscillator;
    const char* text;
    const char* name;
};

constexpr OscillatorCommand kOscillatorCommands[] = {
    {Oscillator::None, "不显示指标", "oscillatorNone"},
    {Oscillator::Macd, "MACD 指数平滑异同平均线", "oscillatorMACD"},
    {Oscillator::Kdj, "KDJ 随机指标", "oscillatorKDJ"},
    {Oscillator::Rsi, "RSI 相对强弱指标", "oscillatorRSI"},
    {Oscillator::Boll, "BOLL 布林线", "oscillatorBOLL"},
};

QAction* checkable(QObject* owner, const char* text, const char* name)
{
    auto* action = new QAction(QString::fromUtf8(text), owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    return action;
}

} // namespace

IndicatorActions::IndicatorActions(QWidget* parent)
    : QObject(parent)
    , m_parent(parent)
{
    m_averages = checkable(this, "均线 MA", "indicatorMA");
    m_volumeAverages = checkable(this, "成交量均线", "indicatorVolumeMA");
    m_periods = new QAction(QStringLiteral("均线参数..."), this);
    m_periods->setObjectName(QStringLiteral("indicatorPeriods"));
    m_oscillatorGroup = new QActionGroup(this);
    for (const OscillatorCommand& c : kOscillatorCommands) {
        QAction* action = checkable(m_oscillatorGroup, c.text, c.name);
        m_oscillatorGroup->addAction(action);
        m_oscillators[std::size_t(c.oscillator)] = action;
        connect(action, &QAction::triggered, this, [this, o = c.oscillator] {
            IndicatorChoice next = m_choice;
            next.oscillator = o;
            next.formula.clear();
            choose(next);
        });
    }
    connect(m_averages, &QAction::triggered, this, [this](bool on) {
        IndicatorChoice next = m_choice;
        next.movingAverages = on;
        choose(next);
    });
    connect(m_volumeAverages, &QAction::triggered, this, [this](bool on) {
        IndicatorChoice next = m_choice;
        next.volumeAverages = on;
        choose(next);
    });
    connect(m_periods, &QAction::triggered, this, &IndicatorActions::editPeriods);
    m_timelineCentre = checkable(this, "分时涨幅以昨收为中轴", "timelineOnPreviousClose");
    connect(m_timelineCentre, &QAction::triggered, this, [this](bool on) {
        IndicatorChoice next = m_choice;
        next.timelineOnPreviousClose = on;
        choose(next);
    });
    m_formulaSeparator = new QAction(this);
    m_formulaSeparator->setSeparator(true);
    m_formulaSeparator->setVisible(false);
    m_managerSeparator = new QAction(this);
    m_managerSeparator->setSeparator(true);
    m_formulaManager = new QAction(QStringLiteral("公式管理..."), this);
    m_formulaManager->setObjectName(QStringLiteral("formulaManager"));
    setChoice(m_choice);
}

void IndicatorActions::setChoice(const IndicatorChoice& choice)
{
    m_choice = choice;
    m_averages->setChecked(choice.movingAverages);
    m_volumeAverages->setChecked(choice.volumeAverages);
    m_timelineCentre->setChecked(choice.timelineOnPreviousClose);
    QAction* formula = choice.formula.empty() ? nullptr : formulaAction(choice.formula);
    (formula ? formula : m_oscillators[std::size_t(choice.oscillator)])->setChecked(true);
}

QAction* IndicatorActions::formulaAction(const std::string& name) const
{
    const std::string key = formula::nameKey(name);
    for (QAction* action : m_formulas)
        if (formula::nameKey(action->data().toString().toStdString()) == key)
            return action;
    return nullptr;
}

void IndicatorActions::setFormulas(const std::vector<FormulaItem>& formulas)
{
    // Deleted actions leave every menu that holds them.
    qDeleteAll(m_formulas);
    m_formulas.clear();
    for (const FormulaItem& f : formulas) {
        auto* action = checkable(m_oscillatorGroup, f.title.c_str(), "");
        action->setObjectName(QStringLiteral("formula:") + QString::fromStdString(f.name));
        action->setData(QString::fromStdString(f.name));
        action->setEnabled(f.usable);
        m_oscillatorGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, name = f.name] {
            IndicatorChoice next = m_choice;
            next.oscillator = Oscillator::None;
            next.formula = name;
            choose(next);
        });
        m_formulas.push_back(action);
    }
    m_formulaSeparator->setVisible(!m_formulas.empty());
    for (const QPointer<QMenu>& menu : m_menus)
        if (menu)
            menu->insertActions(m_managerSeparator, QList<QAction*>(m_formulas.begin(), m_formulas.end()));
    setChoice(m_choice);
}

void IndicatorActions::addTo(QMenu* menu, bool timelineOptions) const
{
    menu->addAction(m_averages);
    menu->addAction(m_volumeAverages);
    menu->addAction(m_periods);
    menu->addSeparator();
    for (const Oscillator o : {Oscillator::None, Oscillator::Macd, Oscillator::Kdj, Oscillator::Rsi, Oscillator::Boll})
        menu->addAction(oscillatorAction(o));
    // The trader's formulas after the built-ins, then their manager.
    menu->addAction(m_formulaSeparator);
    menu->addActions(QList<QAction*>(m_formulas.begin(), m_formulas.end()));
    menu->addAction(m_managerSeparator);
    menu->addAction(m_formulaManager);
    m_menus.emplace_back(menu);
    if (!timelineOptions)
        return;
    menu->addSeparator();
    menu->addAction(m_timelineCentre);
}

void IndicatorActions::choose(const IndicatorChoice& choice)
{
    setChoice(choice);
    if (m_onChange)
        m_onChange(choice);
}

void IndicatorActions::editPeriods()
{
    if (!m_periodsDlg)
        m_periodsDlg = new MaPeriodsDlg(m_parent);
    m_periodsDlg->edit(m_choice.maPeriods, [this](const MaPeriodsDlg::Periods& periods) {
        if (periods == m_choice.maPeriods)
            return;
        IndicatorChoice next = m_choice;
        next.maPeriods = periods;
        choose(next);
    });
}

} // namespace chart
