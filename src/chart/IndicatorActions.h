#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QMenu>
#include <QPointer>

#include "chart/Indicators.h"
#include "chart/MaPeriodsDlg.h"

class QAction;
class QActionGroup;
class QWidget;

namespace chart {

// The K-line's indicator commands, one set shared by the "分析" menu and the chart's context
// menu: the averages on or off, their periods, and one oscillator at a time. The actions are
// checkable, so every menu shows the choice in force.
class IndicatorActions final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndicatorActions)

public:
    using ChangeHandler = std::function<void(const IndicatorChoice&)>;

    // `parent` owns the actions and the periods dialog.
    explicit IndicatorActions(QWidget* parent);

    // A formula of the trader's as the menus offer it: by its name, titled with its
    // parameters; one whose text has errors is offered disabled.
    struct FormulaItem
    {
        std::string name;
        std::string title;
        bool usable = true;
    };

    // Shows `choice` in the actions; the handler is not called.
    void setChoice(const IndicatorChoice& choice);
    // The trader's formulas, offered after the oscillators and chosen as they are, in every
    // menu the actions were added to.
    void setFormulas(const std::vector<FormulaItem>& formulas);
    const IndicatorChoice& choice() const { return m_choice; }
    // Called with the new choice whenever the user changes it.
    void setChangeHandler(ChangeHandler handler) { m_onChange = std::move(handler); }
    // The time-share's options come last; a menu of the candles alone leaves them out.
    void addTo(QMenu* menu, bool timelineOptions = true) const;

    QAction* averagesAction() const { return m_averages; }
    QAction* volumeAveragesAction() const { return m_volumeAverages; }
    QAction* periodsAction() const { return m_periods; }
    QAction* timelineCentreAction() const { return m_timelineCentre; }
    QAction* oscillatorAction(Oscillator o) const { return m_oscillators[std::size_t(o)]; }
    // The action choosing the formula of that name (any case); nullptr for none.
    QAction* formulaAction(const std::string& name) const;
    // "公式管理...": the formula manager.
    QAction* formulaManagerAction() const { return m_formulaManager; }
    MaPeriodsDlg* periodsDialog() const { return m_periodsDlg; }

private:
    void choose(const IndicatorChoice& choice);
    void editPeriods();

    QWidget* m_parent;
    IndicatorChoice m_choice;
    ChangeHandler m_onChange;
    QAction* m_averages = nullptr;
    QAction* m_volumeAverages = nullptr;
    QAction* m_periods = nullptr;
    QAction* m_timelineCentre = nullptr;
    QActionGroup* m_oscillatorGroup = nullptr;
    std::array<QAction*, 5> m_oscillators{};
    QPointer<MaPeriodsDlg> m_periodsDlg;
    QAction* m_formulaSeparator = nullptr;
    std::vector<QAction*> m_formulas;
    QAction* m_managerSeparator = nullptr;
    QAction* m_formulaManager = nullptr;
    mutable std::vector<QPointer<QMenu>> m_menus; // where the actions were added
};

} // namespace chart
