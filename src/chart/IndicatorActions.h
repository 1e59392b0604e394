#pragma once

#include <array>
#include <functional>

#include <QObject>
#include <QPointer>

#include "chart/Indicators.h"
#include "chart/MaPeriodsDlg.h"

class QAction;
class QActionGroup;
class QMenu;
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

    // Shows `choice` in the actions; the handler is not called.
    void setChoice(const IndicatorChoice& choice);
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
};

} // namespace chart
