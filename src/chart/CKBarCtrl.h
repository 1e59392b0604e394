#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include "chart/ChartCanvas.h"
#include "chart/ChartLegend.h"
#include "chart/ChartReadout.h"

class QPainter;
class Show_Keyline_Msg__Dlg;
namespace chart {
class DrawingLayer;
} // namespace chart

// The chart window. The model draws into the control's image on the GUI thread, from the
// values the charts keep; a paint only copies that image, so reloads never flicker, and the
// cross-hair is an overlay on the copy, so moving it never redraws the chart.
class CKBarCtrl final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKBarCtrl)

public:
    static constexpr int kCandleChartId = 1000;
    static constexpr int kTimelineChartId = 1001;
    static constexpr int kCrossHairIntervalMs = 60;

    explicit CKBarCtrl(QWidget* parent = nullptr);
    ~CKBarCtrl() override;

    // Places the control at `rect` of `parent`, makes its images for that size, starts the
    // cross-hair timer and creates the hidden information box. The id becomes the object name.
    bool Create(QWidget* parent, const QRect& rect, int id);
    int Id() const { return m_id; }

    // The chart operations.
    void AddSubArea(const std::string& name, int row, int heightPercent, int leftMargin, int topMargin,
                    int bottomMargin);
    bool AddDisplay(chart::DisplayKind kind, int row, const std::string& name);
    void AppendElement(const CDataElement& element, const std::string& displayName);
    void ClearDisplay(const std::string& displayName);
    void SetTitle(const std::string& subAreaName, const std::string& text);
    void SetAxisLegend(const std::string& subAreaName);
    void DrawRange(const std::string& subAreaName, int first, int last);

    // Runs `f` on the model, for a load that changes and draws it in one step.
    template <class F>
    auto withCanvas(F&& f)
    {
        return f(*m_canvas);
    }
    // A copy of the off-screen image: device pixels, with the device pixel ratio of the
    // screen the control was created on.
    QImage Snapshot() const;

    Show_Keyline_Msg__Dlg* infoBox() const { return m_infoBox; }
    // The legend rows as painted now: at the cross-hair's element, else at the newest.
    std::vector<chart::LegendRow> legend() const;
    // The drawn cross-hair position; (0, 0) when none is drawn.
    QPoint crossHairPos() const { return m_crossHair; }
    bool crossHairArmed() const { return m_clicked && m_tracking; }
    // One tick of the cross-hair timer.
    void updateCrossHair();

    // The values the information box reads out at an element index, given by the chart that
    // keeps the records. With it the box shows with the cross-hair and follows it.
    using Readout = std::function<std::vector<chart::ReadoutRow>(int index)>;
    void setReadout(Readout readout) { m_readout = std::move(readout); }

    // The trader's drawings, painted over the candles after each of their draws and offered
    // the mouse and keys first.
    void setDrawingLayer(chart::DrawingLayer* layer);

    // The chart that answers keys on this control; returns whether it used the key. The
    // market window hands keys here too when the chart shows without the focus.
    void setKeyHandler(std::function<bool(int qtKey)> handler) { m_keyHandler = std::move(handler); }
    bool handleKey(int qtKey) { return m_keyHandler && m_keyHandler(qtKey); }
    // The candle under the keyboard's cross-hair, -1 for none; the cross-hair is drawn at it,
    // in whatever window of candles is drawn, until the mouse moves.
    void setKeyCursor(int index);
    int keyCursor() const { return m_keyCursor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int legendIndex() const;
    // The slot centre of the key cursor's candle, at its close; (0, 0) for none.
    QPoint keyCrossHair() const;
    // Shows the information box at the cross-hair's element, when the chart reads one out.
    void followCrossHair();
    // Paints the legend over the copy, rendering its rows again only when they changed.
    void paintLegend(QPainter& p);

    std::unique_ptr<chart::ChartCanvas> m_canvas;
    QTimer m_timer1; // cross-hair
    Show_Keyline_Msg__Dlg* m_infoBox = nullptr;
    int m_id = 0;
    bool m_clicked = false;
    bool m_tracking = false;
    QPoint m_cursor{-1, -1};
    QPoint m_crossHair;
    int m_keyCursor = -1;
    QPoint m_keyMouseAt; // where the mouse was at the last key
    std::function<bool(int)> m_keyHandler;
    int m_wheel = 0; // eighths of a degree turned and not yet a notch
    Readout m_readout;
    chart::DrawingLayer* m_drawings = nullptr;
    // The legend as last painted (window thread).
    struct PaintedLegend
    {
        QRect band;
        chart::LegendRow row;
        QImage image;
    };
    std::vector<PaintedLegend> m_legend;
};
