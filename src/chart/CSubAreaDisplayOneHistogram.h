#pragma once

#include "chart/CSubAreaDisplayOne.h"

class CSubAreaDisplayOneHistogram final : public CSubAreaDisplayOne
{
public:
    explicit CSubAreaDisplayOneHistogram(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void drawSlot(QPainter& p, const DisplaySlot& slot) override;
    void eraseSlot(QPainter& p, const DisplaySlot& slot) override;


protected:
    void fillBody(DisplaySlot& slot) const override;

};
