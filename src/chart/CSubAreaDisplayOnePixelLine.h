#pragma once

#include "chart/CSubAreaDisplayOne.h"

class CSubAreaDisplayOnePixelLine final : public CSubAreaDisplayOne
{
public:
    explicit CSubAreaDisplayOnePixelLine(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void drawSlot(QPainter& p, const DisplaySlot& slot) override;
    void eraseSlot(QPainter& p, const DisplaySlot& slot) override;
    void Connect(QPainter& p, int from, int to, chart::Colour colour) override;
    void eraseNewestSegment(QPainter& p) override;
    bool joinsSlots() const override { return true; }

protected:
    void fillBody(DisplaySlot& slot) const override;

};
