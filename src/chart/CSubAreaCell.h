#pragma once

#include <memory>

#include "chart/CSubArea.h"

// The layout record of one row of a chart: the band and the sub-area drawn in it.
struct CSubAreaCell
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int row = 0;
    int column = 0;
    int widthPercent = 100;
    int heightPercent = 0;
    std::unique_ptr<CSubArea> subArea;
    CSubAreaScale* scale = nullptr;
};
