#pragma once

#include <array>

#include <QRect>

class QFont;
class QPainter;
class QPoint;

namespace mainwnd {

// The vertical tabs down the market window's left edge: in overview mode the overview's
// categories and the column set-up after them, in chart mode the five chart views. One tab
// is current; the strip is drawn into the window's paint.
class MarketTabs final
{
public:
    static constexpr int kCount = 5;

    // Five tabs share the height of the work area between the toolbar and the status band.
    explicit MarketTabs(int workHeight);

    QRect rect(int k) const { return m_rects[std::size_t(k)]; }
    // The strip's whole area, to repaint after a change.
    QRect area() const { return m_area; }
    int current() const; // -1 for none
    void setCurrent(int k);
    bool isCurrent(int k) const { return m_flags[std::size_t(k)]; }

    int overviewCount() const { return m_overviewCount; }
    // The set-up tab is the one after the categories, and there are five tab places.
    void setOverviewCount(int count);

    // The tab under `point` that the mode offers, -1 for none.
    int tabAt(const QPoint& point, bool chartMode) const;

    void draw(QPainter& p, const QFont& font, bool chartMode) const;

private:
    QRect m_area;
    std::array<QRect, kCount> m_rects;
    std::array<bool, kCount> m_flags{};
    int m_overviewCount = 2;
};

} // namespace mainwnd
