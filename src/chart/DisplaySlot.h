#pragma once

class CDataElement;

// Where one visible element is drawn. The body is derived from the slot by the display kind.
struct DisplaySlot
{
    int slotLeft = 0;
    int slotRight = 0;
    const CDataElement* element = nullptr; // owned by the display's series
    int bodyLeft = 0;
    int bodyRight = 0;
};
