#pragma once

#include "chart/CSubAreaDisplayOne.h"

// A histogram about zero: each element a vertical line from the zero line to its value, in
// the element's colour. Elements without a value draw nothing.
class CSubAreaDisplayOneStick final : public CSubAreaDisplayOne
{
public:
    explicit CSubAreaDisplayOneStick(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void drawSlot(QPainter& p, const DisplaySlot& slot) override;
    void eraseSlot(QPainter& p, const DisplaySlot& slot) override;
    bool reachesZero() const override { return true; }

protected:
    void fillBody(DisplaySlot& slot) const override;
};
