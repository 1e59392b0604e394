#pragma once

#include "chart/CSubAreaDisplayOne.h"

class CSubAreaDisplayOneKBar final : public CSubAreaDisplayOne
{
public:
    explicit CSubAreaDisplayOneKBar(CSubArea& area)
        : CSubAreaDisplayOne(area)
    {
    }

    void drawSlot(QPainter& p, const DisplaySlot& slot) override;
    void eraseSlot(QPainter& p, const DisplaySlot& slot) override;


protected:
    void fillBody(DisplaySlot& slot) const override;

private:
    void Paint(QPainter& p, const DisplaySlot& slot, bool erase) const;
};
