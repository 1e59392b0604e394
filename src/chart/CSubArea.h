#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QRect>

#include "chart/CSubAreaScale.h"
#include "chart/ChartMath.h"

class CSubAreaDisplayOne;
class QImage;
class QPainter;

namespace chart {
class ChartCanvas;
} // namespace chart

// One horizontal band of a chart: its scale, frame, title, labels and up to 10 displays.
class CSubArea
{
public:
    static constexpr int kRightMargin = 55;
    static constexpr int kMaxDisplays = 10;
    static constexpr int kSpecifiedLabelPeriod = 7;

    struct Range
    {
        double max = 0;
        double min = 0;
        bool changed = false;
    };

    struct Band
    {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        int leftMargin = 0;
        int topMargin = 0;
        int bottomMargin = 0;
    };

    CSubArea(const std::string& name, const Band& band, QImage* image, QImage* spare, chart::ChartCanvas* owner);
    virtual ~CSubArea();
    CSubArea(const CSubArea&) = delete;
    CSubArea& operator=(const CSubArea&) = delete;

    // The value range of the elements first..last of every display.
    virtual Range ComputeRange(int first, int last) const;

    // Takes the display; refuses an 11th.
    bool AddDisplay(std::unique_ptr<CSubAreaDisplayOne> display);
    // Draws the element window first..last into the image; nothing when last < first or
    // the band has no room for a plot. Returns the part of the band drawn again: empty when
    // nothing could be drawn, the columns of the newest elements when only they changed.
    QRect Draw(int first, int last);
    // Moves the band (the chart was laid out again); the next Draw redraws it whole.
    void setBand(const Band& band);
    // The value the price area "O" is centred on; 0 for its first element's, as specified.
    void setCentre(double centre) { m_centre = centre; }
    double centre() const { return m_centre; }
    // The image was blanked under the area: the next Draw redraws it whole.
    void redrawWholeNext() { setBand(m_band); }
    // Something was painted over the plot that stays where it is only while the window does:
    // the next draw may redraw the newest elements in place, but not move the plot's pixels.
    void drawnOver() { m_drawnOver = true; }
    // Whether the area holds a drawing since it was laid out or emptied.
    bool hasDrawing() const { return m_scale.slotCount > 0; }

    const std::string& Name() const { return m_name; }
    const std::string& Title() const { return m_title; }
    const std::string& axisLegend() const { return m_axisLegend; }
    // Texts longer than their fields (255 and 511 characters) are not stored.
    void SetTitle(const std::string& title);
    void SetAxisLegend(const std::string& legend);

    int Left() const { return m_band.left; }
    int Top() const { return m_band.top; }
    int Width() const { return m_band.width; }
    int Height() const { return m_band.height; }
    int LeftMargin() const { return m_band.leftMargin; }
    int rightMargin() const { return kRightMargin; }
    int TopMargin() const { return m_band.topMargin; }
    int BottomMargin() const { return m_band.bottomMargin; }

    CSubAreaScale& Scale() { return m_scale; }
    const CSubAreaScale& Scale() const { return m_scale; }
    int displayCount() const { return int(m_displays.size()); }
    CSubAreaDisplayOne& Display(int i) const { return *m_displays[std::size_t(i)]; }
    int widestLabel() const { return m_widestLabel; }
    void widenLabels(int width);
    int firstDrawn() const { return m_firstDrawn; }
    int lastDrawn() const { return m_lastDrawn; }
    bool Changed() const { return m_changed; }
    void setChanged() { m_changed = true; }
    // How the last Draw went, for tests and benchmarks.
    chart::ScrollKind lastScroll() const { return m_lastScroll; }
    chart::ChartCanvas* Owner() const { return m_owner; }

private:
    bool isNamed(const char* name) const { return m_name == name; }
    bool hasData() const;
    const CSubAreaDisplayOne* firstFilled() const;
    // The period of the candles drawn here with time labels under them; 0 for none.
    int candlePeriod() const;
    // Candles carry their times under the plot; other labels do not follow the data.
    bool hasCandleTimeLabels() const;
    // Every period but the 120-minute one, whose labels are laid down as they were.
    void drawCandleDates(QPainter& p, int first, int y);
    void fullRedraw(QPainter& p, int first, int last);
    // Keeps the drawn slots that hold the same elements as before, moved `shift` slots to the
    // left (0: the same window), and draws the rest.
    // Returns the first column drawn again.
    int redrawNewest(QPainter& p, int first, int last, int oldLast, int shift);
    void scrollTowardsOlder(QPainter& p, int first, int last, int oldFirst, int oldLast);
    // Places and draws one display's elements drawFrom..drawTo of the window and joins its
    // slots joinFrom..joinTo (-1: the last); an overlay stays inside the plot.
    void drawDisplay(QPainter& p, CSubAreaDisplayOne& d, int first, int last, int drawFrom, int drawTo, int joinFrom,
                     int joinTo);
    void placeScale();
    void drawFrame(QPainter& p);
    void drawTitle(QPainter& p);
    void drawTimeLabels(QPainter& p, int first, int last);
    // The row under the plot, after a short scroll moved the candles its labels belong to.
    void redrawTimeLabelRow(QPainter& p, int first, int last);
    void drawGridAndLabels(QPainter& p, bool gridLines = true);
    // Places the slots of first..last and draws the elements from `drawFrom` on.
    void placeAndDraw(QPainter& p, CSubAreaDisplayOne& d, int first, int last, int drawFrom, int drawTo);
    // Moves `width` plot columns from sourceX to destX through the spare image and empties
    // the rest of the plot. False when nothing could be moved: the whole plot is then empty.
    bool shiftPlot(QPainter& p, int sourceX, int destX, int width);
    void clearPlotColumns(QPainter& p, int left, int right);
    // Device pixels per logical pixel when that is a whole number, else 0.
    int wholeDeviceRatio() const;

    std::string m_name;
    Band m_band;
    std::vector<std::unique_ptr<CSubAreaDisplayOne>> m_displays;
    CSubAreaScale m_scale;
    QImage* m_image = nullptr;
    QImage* m_spare = nullptr;
    chart::ChartCanvas* m_owner = nullptr;
    int m_widestLabel = 0;
    int m_firstDrawn = 0;
    int m_lastDrawn = 0;
    bool m_changed = false;
    // What only a full redraw draws (title, time labels, label places) changed since.
    bool m_redrawWhole = true;
    bool m_drawnOver = false;
    double m_centre = 0;
    int m_labelsDrawnFor = 0; // the widest label when the value labels were drawn
    std::string m_title;
    std::string m_axisLegend;
    chart::ScrollKind m_lastScroll = chart::ScrollKind::None;
};
