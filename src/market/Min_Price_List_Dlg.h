#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include "market/core/TickReplies.h"

class JListCtrl;

// The tick list ("分笔") and price table ("分价") window laid over the lower part of the
// chart area. Its content is a snapshot taken when a mode is shown.
class Min_Price_List_Dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Min_Price_List_Dlg)

public:
    enum class Mode { Ticks = 0, Consult = 1, Prices = 2 };
    static constexpr int kPriceListId = 1150;
    static constexpr int kBandHeight = 28;
    static constexpr int kChartHeight = 350; // the height the market window gives it

    explicit Min_Price_List_Dlg(QWidget* parent = nullptr);

    // Fetches the mode's data on this (the window) thread and draws it.
    void showMode(Mode mode);
    // Draws a mode from a reply already fetched (wire text; empty when nothing came back).
    void drawMode(Mode mode, const std::string& wire);

    Mode mode() const { return m_mode; }
    JListCtrl* priceList() const { return m_priceList; }
    const QImage& canvas() const { return m_canvas; }
    QRect tabRect(int tab) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layoutPriceList(bool initial);
    void drawBand();
    void drawAreaBackground(QPainter& p, const QRect& area, bool columnLines, const market::TickGrid& grid);
    void drawTicks(const std::optional<std::vector<market::Tick>>& ticks);
    void drawPrices(const std::optional<std::vector<market::PriceRow>>& rows);
    void ensureCanvas();

    JListCtrl* m_priceList;
    QFont m_font;
    QImage m_canvas;
    Mode m_mode = Mode::Ticks;
    std::optional<QPoint> m_dragFrom;
};
