#pragma once

#include <vector>

#include <QPoint>
#include <QWidget>

#include "chart/ChartReadout.h"

// The chart's small information box: a draggable list of labels for candles (mode 1) or the
// time-share chart (mode 0), with the values at the cross-hair once the chart gives them.
class Show_Keyline_Msg__Dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Show_Keyline_Msg__Dlg)

public:
    static constexpr int kTemplateId = 246;

    explicit Show_Keyline_Msg__Dlg(QWidget* parent = nullptr);

    int Mode() const { return m_mode; }
    void SetMode(int mode);
    // The rows of a mode, top to bottom, as shown before any value is known.
    static QStringList Labels(int mode);
    // The values to show under the header; none brings back the bare labels. The box widens
    // to its longest row.
    void setReadout(const std::vector<chart::ReadoutRow>& rows);
    const std::vector<chart::ReadoutRow>& readout() const { return m_readout; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_mode = 0;
    std::vector<chart::ReadoutRow> m_readout;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
