#pragma once

namespace chart {
// Formula: the values of a trader's formula at one candle (CDataElementFormula).
enum class ElementType : char { KBar = 'K', Point = 'P', Formula = 'F' };
} // namespace chart

class CDataElement
{
public:
    virtual ~CDataElement() = default;
    // The largest and smallest values the element contributes to a range.
    virtual double High() const = 0;
    virtual double Low() const = 0;
    virtual chart::ElementType Type() const = 0;
    // Characters of the widest value printed as text; sizes the value labels.
    virtual int labelWidth() const = 0;

protected:
    CDataElement() = default;
    CDataElement(const CDataElement&) = default;
    CDataElement& operator=(const CDataElement&) = default;
};
