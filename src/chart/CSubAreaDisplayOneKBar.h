#pragma once

#include "chart/CSubAreaDisplayOne.h"

class CSubAreaDisplayOneKBar final : public CSubAreaDisplayOne
{
public:
    explicit CSubAreaDisplayOneKBar(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void DrawSlot(QPainter& p, const DisplaySlot& slot) override;
    void EraseSlot(QPainter& p, const DisplaySlot& slot) override;


protected:
    void FillBody(DisplaySlot& slot) const override;

private:
    void Paint(QPainter& p, const DisplaySlot& slot, bool erase) const;
};
