#pragma once

#include "chart/CSubAreaDisplayOne.h"

class CSubAreaDisplayOnePixelLine final : public CSubAreaDisplayOne
{
public:
    explicit CSubAreaDisplayOnePixelLine(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void DrawSlot(QPainter& p, const DisplaySlot& slot) override;
    void EraseSlot(QPainter& p, const DisplaySlot& slot) override;
    void Connect(QPainter& p, int from, int to, chart::Colour colour) override;
    void EraseNewestSegment(QPainter& p) override;
    bool joinsSlots() const override { return true; }

protected:
    void FillBody(DisplaySlot& slot) const override;

};
