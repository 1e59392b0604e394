#pragma once

class CSubArea;

class CSubAreaScale final
{
public:
    int plotLeft = 0;
    int plotRight = 0;
    int plotTop = 0;
    int plotBottom = 0;
    int slotWidth = 0;
    int slotCount = 0;
    int divisions = 10;
    int pixelStep = 0;
    double valueStep = 0;
    double max = 0;
    double min = 0;
    CSubArea* subArea = nullptr;

    // Slot and division sizes for a window of n elements (integer pixel divisions).
    void rescale(int n);
    // Pixel row of a value.
    int ValueToY(double v) const;
};
