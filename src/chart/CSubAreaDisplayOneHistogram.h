#pragma once

#include "chart/CSubAreaDisplayOne.h"

class CSubAreaDisplayOneHistogram final : public CSubAreaDisplayOne
{
public:
    explicit CSubAreaDisplayOneHistogram(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void DrawSlot(QPainter& p, const DisplaySlot& slot) override;
    void EraseSlot(QPainter& p, const DisplaySlot& slot) override;


protected:
    void FillBody(DisplaySlot& slot) const override;

};
