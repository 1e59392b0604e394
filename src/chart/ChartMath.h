#pragma once

#include <optional>

#include <QPoint>

namespace chart {

// InPlace: the same window again, redrawn from its newest changed element on.
enum class ScrollKind { None, TowardsNewer, TowardsOlder, InPlace };

// Whether a redraw of first..last can reuse the pixels of the window oldFirst..oldLast:
// the same slot count and a move of less than half a window.
ScrollKind decideScroll(int oldFirst, int oldLast, int first, int last, int slotCount);

struct CrossHairGeometry
{
    int clientRight = 0;
    int clientBottom = 0;
    int areaLeft = 0;
    int leftMargin = 0;
    int slotWidth = 0; // the first sub-area's slot width
    int slotCount = 0; // slots of its first display
};

// The cross-hair position for a cursor at `cursor`, snapped to the centre of the slot under
// it and to rows of 6 pixels; nothing when the cursor lies outside the tracked area.
std::optional<QPoint> snapCrossHair(QPoint cursor, const CrossHairGeometry& g);

// Candle slots for a work area of the given width: 40 for every full 600 pixels.
int visibleBarCountFor(int workAreaWidth);

} // namespace chart
