#pragma once

#include "chart/CSubAreaDisplayOne.h"

class CSubAreaDisplayOneVLine final : public CSubAreaDisplayOne
{
public:
    explicit CSubAreaDisplayOneVLine(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void DrawSlot(QPainter& p, const DisplaySlot& slot) override;
    void EraseSlot(QPainter& p, const DisplaySlot& slot) override;


protected:
    void FillBody(DisplaySlot& slot) const override;

};
