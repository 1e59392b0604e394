#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartColour.h"
#include "chart/DisplaySlot.h"

class CDataElement;
class CSubArea;
class CSubAreaScale;
class QPainter;

namespace chart {
// Stick: a vertical line from the zero line to the value, for a histogram about zero.
// Formula: the lines of a trader's formula, each drawn its own way.
enum class DisplayKind { KBar, Histogram, VLine, PixelLine, Stick, Formula };
} // namespace chart

// A named data series drawn in one sub-area. The kinds decide how a slot's body is placed
// and how it is drawn, erased and joined to its neighbours.
class CSubAreaDisplayOne
{
public:
    virtual ~CSubAreaDisplayOne();
    CSubAreaDisplayOne(const CSubAreaDisplayOne&) = delete;
    CSubAreaDisplayOne& operator=(const CSubAreaDisplayOne&) = delete;

    DisplaySlot& placeElement(const CDataElement* element, int slotLeft, int slotRight, bool atFront);
    DisplaySlot& replaceSlot(std::size_t index, const CDataElement* element, int slotLeft, int slotRight);
    virtual void drawSlot(QPainter& p, const DisplaySlot& slot) = 0;
    virtual void eraseSlot(QPainter& p, const DisplaySlot& slot) = 0;
    virtual void Connect(QPainter& p, int from, int to, chart::Colour colour);
    virtual void eraseNewestSegment(QPainter& p);
    // Whether Connect draws lines from one slot into the next.
    virtual bool joinsSlots() const { return false; }
    // Whether the area's range must reach zero for this display to be drawn whole.
    virtual bool reachesZero() const { return false; }
    // Takes ownership; widens the sub-area's value labels when the element needs more room.
    void AppendElement(std::unique_ptr<CDataElement> element);
    // Puts `element` in place of the newest one, keeping the old one and its slots for
    // erasing the newest segment.
    void replaceNewest(std::unique_ptr<CDataElement> element);
    void Clear();
    // Keeps the oldest `count` elements: a reload that changed only the newest ones.
    void truncate(std::size_t count);

    // An overlay is drawn over the area's scale without taking part in it: it neither
    // widens the range nor the value labels, and is clipped to the plot. The specified
    // displays are not overlays, so what they draw never depends on the overlays beside them.
    void setOverlay(bool overlay) { m_overlay = overlay; }
    bool isOverlay() const { return m_overlay; }
    // The display's entry in the legend row: its label ("MA5"), and the name of the indicator
    // it belongs to when that is not named by the label ("MACD(12,26,9)"). No label: none.
    void setLegend(const std::string& label, const std::string& group = {});
    const std::string& legendLabel() const { return m_legendLabel; }
    const std::string& legendGroup() const { return m_legendGroup; }

    const std::string& Name() const { return m_name; }
    // Names longer than 255 characters are not stored.
    void setName(const std::string& name);
    std::size_t elementCount() const { return m_series.size(); }
    const CDataElement* Element(std::size_t i) const { return m_series[i].get(); }
    std::deque<DisplaySlot>& Slots() { return m_slots; }
    const std::deque<DisplaySlot>& Slots() const { return m_slots; }
    const DisplaySlot& savedSecondToLast() const { return m_savedSecondToLast; }
    const DisplaySlot& savedLast() const { return m_savedLast; }
    const CDataElement* previousNewest() const { return m_previousNewest.get(); }
    CSubArea& Area() const { return m_area; }
    const CSubAreaScale& Scale() const;

    // Index of the newest element drawn in the current window, -1 when none.
    int drawnUpTo() const { return m_drawnUpTo; }
    void setDrawnUpTo(int index)
    {
        m_drawnUpTo = index;
        m_cut = false;
    }
    // Elements were taken away since the display was last drawn.
    bool cutSinceDrawn() const { return m_cut; }

protected:
    explicit CSubAreaDisplayOne(CSubArea& area);
    virtual void fillBody(DisplaySlot& slot) const = 0;

private:
    CSubArea& m_area;
    std::vector<std::unique_ptr<CDataElement>> m_series;
    std::deque<DisplaySlot> m_slots;
    DisplaySlot m_savedSecondToLast;
    DisplaySlot m_savedLast;
    std::unique_ptr<CDataElement> m_previousNewest;
    std::string m_name;
    std::string m_legendLabel;
    std::string m_legendGroup;
    int m_drawnUpTo = -1;
    bool m_cut = false;
    bool m_overlay = false;
};
