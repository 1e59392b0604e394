#include "chart/CSubAreaDisplayOne.h"

#include <algorithm>
#include <cmath>

#include "chart/CDataElement.h"
#include "chart/CSubArea.h"

CSubAreaDisplayOne::CSubAreaDisplayOne(CSubArea& area)
    : m_area(area)
{
}

CSubAreaDisplayOne::~CSubAreaDisplayOne() = default;

const CSubAreaScale& CSubAreaDisplayOne::Scale() const
{
    return m_area.Scale();
}

DisplaySlot& CSubAreaDisplayOne::placeElement(const CDataElement* element, int slotLeft, int slotRight,
                                              bool atFront)
{
    DisplaySlot slot;
    slot.slotLeft = slotLeft;
    slot.slotRight = slotRight;
    slot.element = element;
    fillBody(slot);
    if (atFront) {
        m_slots.push_front(slot);
        return m_slots.front();
    }
    m_slots.push_back(slot);
    return m_slots.back();
}

DisplaySlot& CSubAreaDisplayOne::replaceSlot(std::size_t index, const CDataElement* element, int slotLeft,
                                             int slotRight)
{
    DisplaySlot& slot = m_slots.at(index);
    slot.slotLeft = slotLeft;
    slot.slotRight = slotRight;
    slot.element = element;
    fillBody(slot);
    return slot;
}

void CSubAreaDisplayOne::Connect(QPainter&, int, int, chart::Colour) {}

void CSubAreaDisplayOne::eraseNewestSegment(QPainter&) {}

void CSubAreaDisplayOne::AppendElement(std::unique_ptr<CDataElement> element)
{
    if (!element)
        return;
    // A missing value ("no value yet" of an indicator) prints as no label.
    if (!m_overlay && std::isfinite(element->High()))
        m_area.widenLabels(element->labelWidth());
    m_series.push_back(std::move(element));
}

void CSubAreaDisplayOne::replaceNewest(std::unique_ptr<CDataElement> element)
{
    if (!element || m_series.empty())
        return;
    // The saved slots refer to the element about to be deleted.
    m_savedSecondToLast = {};
    m_savedLast = {};
    m_previousNewest = std::move(m_series.back());
    m_series.back() = std::move(element);
    const bool onScreen = int(m_series.size()) == m_area.lastDrawn() + 1;
    if (onScreen && !m_slots.empty()) {
        if (m_slots.size() >= 2) {
            m_savedSecondToLast = m_slots[m_slots.size() - 2];
            m_savedLast = m_slots.back();
        }
        m_slots.back().element = m_series.back().get();
        m_area.setChanged();
    }
}

void CSubAreaDisplayOne::Clear()
{
    // Slots and saved slots refer to the elements: they go together.
    m_slots.clear();
    m_savedSecondToLast = {};
    m_savedLast = {};
    m_series.clear();
    m_previousNewest.reset();
    m_drawnUpTo = -1; // nothing drawn is kept
    m_cut = true;
}

void CSubAreaDisplayOne::truncate(std::size_t count)
{
    if (count >= m_series.size())
        return;
    // The next draw places the slots again; until then none may refer to a deleted element.
    m_slots.clear();
    m_savedSecondToLast = {};
    m_savedLast = {};
    m_series.resize(count);
    m_drawnUpTo = std::min(m_drawnUpTo, int(count) - 1);
    m_cut = true;
}

void CSubAreaDisplayOne::setLegend(const std::string& label, const std::string& group)
{
    m_legendLabel = label;
    m_legendGroup = group;
}

void CSubAreaDisplayOne::setName(const std::string& name)
{
    if (name.size() <= 255)
        m_name = name;
}
