#include "chart/CSubArea.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "chart/CDataElementKBar.h"
#include "chart/CDataElementPoint.h"
#include "chart/CSubAreaDisplayOne.h"
#include "chart/ChartText.h"
#include "chart/TimeAxis.h"
#include "chart/private/ChartFonts.h"
#include "chart/private/GdiDraw.h"

using namespace chart;

namespace {

constexpr Colour kFrameColour = Rgb(50, 50, 50);
constexpr Colour kGridColour = Rgb(35, 35, 35);
constexpr Colour kLabelColour = Rgb(255, 230, 0);
constexpr Colour kTimeLabelColour = Rgb(240, 240, 240);
constexpr Colour kMiddleColour = Rgb(240, 240, 240);

QString Text(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

bool isPoint(const CSubAreaDisplayOne& d)
{
    return d.elementCount() > 0 && d.Element(0)->Type() == ElementType::Point;
}

Colour firstColour(const CSubAreaDisplayOne& d);

} // namespace

CSubArea::CSubArea(const std::string& name, const Band& band, QImage* image, QImage* spare,
                   chart::ChartCanvas* owner)
    : m_band(band)
    , m_image(image)
    , m_spare(spare)
    , m_owner(owner)
{
    if (name.size() <= 255)
        m_name = name;
    placeScale();
    m_scale.subArea = this;
}

void CSubArea::placeScale()
{
    m_scale.plotLeft = m_band.left + m_band.leftMargin;
    m_scale.plotRight = m_band.left + m_band.width - kRightMargin;
    m_scale.plotTop = m_band.top + m_band.topMargin;
    m_scale.plotBottom = m_band.top + m_band.height - m_band.bottomMargin;
}

void CSubArea::setBand(const Band& band)
{
    m_band = band;
    placeScale();
    m_scale.slotCount = 0; // rescaled and redrawn whole at the next draw
    m_redrawWhole = true;
}

CSubArea::~CSubArea() = default;

bool CSubArea::AddDisplay(std::unique_ptr<CSubAreaDisplayOne> display)
{
    if (!display || int(m_displays.size()) >= kMaxDisplays)
        return false;
    m_displays.push_back(std::move(display));
    return true;
}

void CSubArea::SetTitle(const std::string& title)
{
    if (title.size() <= 255 && title != m_title) {
        m_title = title;
        m_redrawWhole = true;
    }
}

void CSubArea::SetAxisLegend(const std::string& legend)
{
    if (legend.size() <= 511 && legend != m_axisLegend) {
        m_axisLegend = legend;
        m_redrawWhole = true;
    }
}

void CSubArea::widenLabels(int width)
{
    m_widestLabel = std::max(m_widestLabel, width);
}

const CSubAreaDisplayOne* CSubArea::firstFilled() const
{
    // Display 0 as a rule; an oscillator area draws with whichever of its displays it needs.
    for (const auto& d : m_displays)
        if (d->elementCount() > 0 && !d->isOverlay())
            return d.get();
    return nullptr;
}

bool CSubArea::hasData() const
{
    return firstFilled() != nullptr;
}

int CSubArea::candlePeriod() const
{
    if (m_axisLegend.empty() || !isNamed("N") || m_displays.empty() || m_displays.front()->elementCount() == 0)
        return 0;
    const CDataElement* e0 = m_displays.front()->Element(0);
    return e0->Type() == ElementType::KBar ? static_cast<const CDataElementKBar*>(e0)->periodCode : 0;
}

bool CSubArea::hasCandleTimeLabels() const
{
    return candlePeriod() != 0;
}

CSubArea::Range CSubArea::ComputeRange(int first, int last) const
{
    Range r{m_scale.max, m_scale.min, false};
    if (m_displays.empty())
        return r;
    if (!hasData()) {
        // An empty chart keeps a zero range so that its next data always redraws in full.
        r.max = r.min = 0;
        r.changed = m_scale.max != 0 || m_scale.min != 0;
        return r;
    }
    const CDataElement& e0 = *firstFilled()->Element(0);
    // The range is that of the elements on screen: one scrolled out of the window (the
    // oldest candle of a long history) must not squash the scale of those drawn. Overlays
    // and missing values take no part.
    bool seeded = false;
    auto widen = [&](double high, double low) {
        r.max = seeded ? std::max(r.max, high) : high;
        r.min = seeded ? std::min(r.min, low) : low;
        seeded = true;
    };
    for (const auto& d : m_displays) {
        if (d->isOverlay())
            continue;
        const int count = int(d->elementCount());
        bool any = false;
        for (int j = std::max(first, 0); j < count && j <= last; ++j) {
            const CDataElement& e = *d->Element(std::size_t(j));
            if (!std::isfinite(e.High()) || !std::isfinite(e.Low()))
                continue;
            widen(e.High(), e.Low());
            any = true;
        }
        if (any && d->reachesZero())
            widen(0, 0);
    }
    if (!seeded) {
        // Nothing of the window is drawn; the range is moot, keep it defined.
        const bool defined = std::isfinite(e0.High()) && std::isfinite(e0.Low());
        r.max = defined ? e0.High() : 0;
        r.min = defined ? e0.Low() : 0;
    }
    if (isNamed("O")) {
        const double ref = m_centre > 0 ? m_centre : e0.High();
        if (ref == r.max && ref == r.min) {
            r.max = ref * 101 / 100;
            r.min = ref * 99 / 100;
        }
        const double d = std::max(std::fabs(r.min - ref), std::fabs(r.max - ref));
        r.max = ref + d;
        r.min = ref - d;
    }
    // Volumes start at 0 whatever the smallest of the window, so the smallest bar keeps its
    // height whether or not an idle minute happens to be in the window.
    if (isNamed("P") || isNamed("M"))
        r.min = 0;
    r.changed = r.max != m_scale.max || r.min != m_scale.min;
    return r;
}

QRect CSubArea::Draw(int first, int last)
{
    if (last < first || !m_image || m_image->isNull() || m_scale.plotBottom <= m_scale.plotTop
        || m_scale.plotRight <= m_scale.plotLeft)
        return {};
    m_changed = false;
    const int n = last - first + 1;
    const int oldFirst = m_firstDrawn;
    const int oldLast = m_lastDrawn;
    ScrollKind scroll = decideScroll(oldFirst, oldLast, first, last, m_scale.slotCount);
    if (scroll == ScrollKind::None && first == oldFirst && last == oldLast && m_scale.slotCount == n)
        scroll = ScrollKind::InPlace;
    const Range r = ComputeRange(first, last);
    if (r.changed) {
        m_scale.max = r.max;
        m_scale.min = r.min;
    }
    if (r.changed || m_scale.slotCount != n) {
        m_scale.rescale(n);
        scroll = ScrollKind::None;
    }
    // The pixels can be moved only when a logical pixel is a whole number of device pixels.
    if (!hasData() || m_scale.slotWidth <= 0 || wholeDeviceRatio() == 0 || m_redrawWhole
        || m_labelsDrawnFor != m_widestLabel)
        scroll = ScrollKind::None;
    // Towards older, the newer slots are kept as drawn: right only while none was taken away,
    // and while no line runs on from the last of them out of the window.
    if (m_drawnOver && scroll != ScrollKind::InPlace)
        scroll = ScrollKind::None;
    if (scroll == ScrollKind::TowardsOlder
        && std::any_of(m_displays.begin(), m_displays.end(),
                       [](const auto& d) { return d->cutSinceDrawn() || d->joinsSlots(); }))
        scroll = ScrollKind::None;
    QRect drawn(m_band.left, m_band.top, m_band.width, m_band.height);
    {
        QPainter p(m_image);
        switch (scroll) {
        case ScrollKind::None:
            fullRedraw(p, first, last);
            break;
        case ScrollKind::InPlace:
            drawn.setLeft(redrawNewest(p, first, last, oldLast, 0));
            break;
        case ScrollKind::TowardsNewer:
            redrawNewest(p, first, last, oldLast, first - oldFirst);
            break;
        case ScrollKind::TowardsOlder:
            scrollTowardsOlder(p, first, last, oldFirst, oldLast);
            break;
        }
    }
    if (scroll != ScrollKind::None && hasCandleTimeLabels()) {
        QPainter p(m_image);
        redrawTimeLabelRow(p, first, last);
    }
    m_lastScroll = scroll;
    m_firstDrawn = first;
    m_lastDrawn = last;
    m_redrawWhole = false;
    m_drawnOver = false;
    m_labelsDrawnFor = m_widestLabel;
    return drawn;
}

void CSubArea::fullRedraw(QPainter& p, int first, int last)
{
    gdi::FillRect(p, m_band.left, m_band.top, m_band.left + m_band.width, m_band.top + m_band.height, kBlack);
    drawFrame(p);
    drawTitle(p);
    if (!m_axisLegend.empty())
        drawTimeLabels(p, first, last);
    drawGridAndLabels(p);
    for (auto& d : m_displays)
        drawDisplay(p, *d, first, last, first, last, 0, -1);
}

int CSubArea::redrawNewest(QPainter& p, int first, int last, int oldLast, int shift)
{
    const int w = m_scale.slotWidth;
    // The newest element drawn before may have changed since (a reload refreshes the
    // running period), and so may those a reload replaced: each display knows up to where
    // its drawing still holds.
    int redrawFrom = oldLast;
    bool joins = false;
    for (const auto& d : m_displays) {
        if (d->drawnUpTo() >= 0)
            redrawFrom = std::min(redrawFrom, d->drawnUpTo());
        else if (int(d->elementCount()) > first)
            redrawFrom = first;
        joins = joins || d->joinsSlots();
    }
    redrawFrom = std::max(redrawFrom, first);
    // A line into the changed slot starts in the middle of the slot before it, so that slot
    // is drawn again too.
    if (joins && redrawFrom > first)
        --redrawFrom;
    const int innerLeft = m_scale.plotLeft + 1;
    const int innerRight = m_scale.plotRight - 1;
    int keepUpTo = std::clamp(m_scale.plotLeft + (redrawFrom - first) * w, innerLeft, innerRight);
    if (shift == 0) {
        clearPlotColumns(p, keepUpTo, innerRight);
    } else if (!shiftPlot(p, innerLeft + shift * w, innerLeft, keepUpTo - innerLeft)) {
        // Nothing could be kept: the plot is empty and everything is drawn.
        keepUpTo = innerLeft;
        redrawFrom = first;
    } else if (joins) {
        // The lines from the slots that left come along into the first slot: it is drawn
        // again as the first of the window, with no line into it.
        const int edge = std::min(keepUpTo, std::max(innerLeft, m_scale.plotLeft + w));
        if (edge > innerLeft) {
            clearPlotColumns(p, innerLeft, edge);
            p.save();
            p.setClipRect(QRect(innerLeft, m_band.top, edge - innerLeft, m_band.height));
            for (auto& d : m_displays)
                drawDisplay(p, *d, first, last, first, first, 0, 1);
            p.restore();
        }
    }
    // Everything drawn again stays right of the kept columns, where it is drawn as a full
    // redraw would draw it.
    p.save();
    p.setClipRect(QRect(keepUpTo, m_band.top, m_scale.plotRight - keepUpTo, m_band.height));
    for (auto& d : m_displays)
        drawDisplay(p, *d, first, last, redrawFrom, last, std::max(0, redrawFrom - first - 1), -1);
    p.restore();
    return keepUpTo;
}

void CSubArea::scrollTowardsOlder(QPainter& p, int first, int last, int oldFirst, int)
{
    const int w = m_scale.slotWidth;
    const int s = oldFirst - first;
    const int keepWidth = (m_scale.slotCount - s) * w;
    shiftPlot(p, m_scale.plotLeft + 1, m_scale.plotLeft + 1 + s * w, keepWidth);
    for (auto& d : m_displays)
        drawDisplay(p, *d, first, last, first, oldFirst - 1, 0, s);
}

void CSubArea::drawDisplay(QPainter& p, CSubAreaDisplayOne& d, int first, int last, int drawFrom, int drawTo,
                           int joinFrom, int joinTo)
{
    const bool clip = d.isOverlay() && d.elementCount() > 0;
    if (clip) {
        p.save();
        p.setClipRect(QRect(m_scale.plotLeft + 1, m_scale.plotTop, m_scale.plotRight - m_scale.plotLeft - 2,
                            m_scale.plotBottom - m_scale.plotTop),
                      Qt::IntersectClip);
    }
    placeAndDraw(p, d, first, last, drawFrom, drawTo);
    if (isPoint(d))
        d.Connect(p, joinFrom, joinTo < 0 ? int(d.Slots().size()) - 1 : joinTo, firstColour(d));
    else if (d.joinsSlots()) // a display that colours its own lines (a formula's)
        d.Connect(p, joinFrom, joinTo < 0 ? int(d.Slots().size()) - 1 : joinTo, kBlack);
    if (clip)
        p.restore();
}

bool CSubArea::shiftPlot(QPainter& p, int sourceX, int destX, int width)
{
    const int innerLeft = m_scale.plotLeft + 1;
    const int innerRight = m_scale.plotRight - 1; // the frame's right edge stays
    const int top = m_scale.plotTop;
    const int bottom = m_scale.plotBottom;
    width = std::min({width, innerRight - sourceX, innerRight - destX});
    const int r = wholeDeviceRatio(); // the image's rows and columns are device pixels
    const bool move = r > 0 && width > 0 && sourceX >= innerLeft && destX >= innerLeft && top >= 0
                      && bottom * r <= m_image->height() && innerRight * r <= m_image->width()
                      && width * r <= m_spare->width();
    if (move) {
        // Row by row through one spare row, which stays in cache: the move costs about one
        // pass over the plot.
        auto* spare = reinterpret_cast<QRgb*>(m_spare->scanLine(0));
        const std::size_t bytes = std::size_t(width) * std::size_t(r) * sizeof(QRgb);
        for (int y = top * r; y < bottom * r; ++y) {
            auto* row = reinterpret_cast<QRgb*>(m_image->scanLine(y));
            std::memcpy(spare, row + sourceX * r, bytes);
            std::memcpy(row + destX * r, spare, bytes);
        }
    } else {
        width = 0;
        destX = innerLeft;
    }
    // The value range is unchanged, so the labels outside the plot are already right; only
    // the exposed columns need the empty plot: frame edges, black, grid lines.
    clearPlotColumns(p, innerLeft, destX);
    clearPlotColumns(p, destX + width, innerRight);
    return move;
}

int CSubArea::wholeDeviceRatio() const
{
    const qreal ratio = m_image ? m_image->devicePixelRatio() : 1.0;
    const int whole = qRound(ratio);
    return whole >= 1 && qFuzzyCompare(ratio, qreal(whole)) ? whole : 0;
}

void CSubArea::clearPlotColumns(QPainter& p, int left, int right)
{
    if (right <= left)
        return;
    const CSubAreaScale& s = m_scale;
    gdi::frameBand(p, left, s.plotTop, right, s.plotBottom, kFrameColour, kBlack);
    for (int i = 1; i <= 9; ++i)
        gdi::hLine(p, left, right, s.plotBottom - i * s.pixelStep, kGridColour);
}

void CSubArea::drawFrame(QPainter& p)
{
    gdi::Rectangle(p, m_scale.plotLeft, m_scale.plotTop, m_scale.plotRight, m_scale.plotBottom, kFrameColour, kBlack);
}

void CSubArea::drawTitle(QPainter& p)
{
    if (m_title.empty())
        return;
    // The title stays in the top margin: the plot's pixels must be the displays' alone so
    // that a short scroll can move them.
    p.save();
    p.setClipRect(QRect(m_band.left, m_band.top, m_band.width, std::max(0, m_scale.plotTop - m_band.top)));
    gdi::textOut(p, fonts::title(), m_band.left + 10, m_band.top + 2, Text(m_title), kLabelColour, kBlack);
    p.restore();
}

void CSubArea::drawTimeLabels(QPainter& p, int first, int last)
{
    const int y = m_band.top + m_band.height - m_band.bottomMargin + 2;
    if (isNamed("M")) {
        static const char* const kLabels[13] = {"09:30", "10:00", "10:30", "11:00", "11:30", "13:30", "14:00",
                                                "14:30", "15:00", "19:30", "20:00", "20:30", "21:00"};
        const int step = (m_band.width - kRightMargin - m_band.leftMargin) / 12;
        for (int k = 0; k < 13; ++k)
            gdi::textOut(p, fonts::label(), m_band.left + m_band.leftMargin - 5 + k * step, y,
                         QString::fromLatin1(kLabels[k]), kTimeLabelColour, kBlack);
        return;
    }
    if (!hasCandleTimeLabels())
        return;
    const CSubAreaDisplayOne& d = *m_displays.front();
    const int count = int(d.elementCount());
    if (candlePeriod() != kSpecifiedLabelPeriod) {
        drawCandleDates(p, first, y);
        return;
    }
    const bool allShown = last - first >= count;
    const int end = allShown ? count - 1 : std::min(last - 1, count - 1);
    for (int i = std::max(first, 0); i <= end; ++i) {
        if (i % 4 != 0)
            continue;
        const auto* bar = static_cast<const CDataElementKBar*>(d.Element(std::size_t(i)));
        const std::time_t t = bar->time;
        std::tm tm{};
        localtime_r(&t, &tm);
        char buf[32];
        // Each label starts at its candle's slot.
        std::snprintf(buf, sizeof buf, allShown ? "%02d:%02d" : "%02d/%02d", tm.tm_hour, tm.tm_min);
        gdi::textOut(p, fonts::label(), m_scale.plotLeft + (i - first) * m_scale.slotWidth, y, QString::fromLatin1(buf),
                     kTimeLabelColour, kBlack);
    }
}

void CSubArea::drawCandleDates(QPainter& p, int first, int y)
{
    const CSubAreaDisplayOne& d = *m_displays.front();
    std::vector<std::int32_t> times(d.elementCount());
    for (std::size_t i = 0; i < times.size(); ++i)
        times[i] = static_cast<const CDataElementKBar*>(d.Element(i))->time;
    const QFontMetrics metrics(fonts::label());
    TimeAxisFrame frame;
    frame.first = std::max(first, 0);
    frame.slotWidth = m_scale.slotWidth;
    frame.plotWidth = m_scale.plotRight - m_scale.plotLeft;
    const auto width = [&](std::string_view text) {
        return metrics.horizontalAdvance(QString::fromLatin1(text.data(), qsizetype(text.size())));
    };
    for (const TimeLabel& label : candleTimeLabels(times, frame, candlePeriod(), width))
        gdi::textOut(p, fonts::label(), m_scale.plotLeft + (label.index - frame.first) * m_scale.slotWidth, y,
                     QString::fromStdString(label.text), kTimeLabelColour, kBlack);
}

void CSubArea::redrawTimeLabelRow(QPainter& p, int first, int last)
{
    const int top = m_scale.plotBottom;
    const int bottom = m_band.top + m_band.height;
    if (bottom <= top)
        return;
    // As the full redraw leaves the row: black, the time labels, then the value labels
    // that reach into it.
    p.save();
    p.setClipRect(QRect(m_band.left, top, m_band.width, bottom - top));
    gdi::FillRect(p, m_band.left, top, m_band.left + m_band.width, bottom, kBlack);
    drawTimeLabels(p, first, last);
    drawGridAndLabels(p, false);
    p.restore();
}

void CSubArea::drawGridAndLabels(QPainter& p, bool gridLines)
{
    const CSubAreaScale& s = m_scale;
    // No elements yet means no label width to divide by.
    const int byWidth = m_widestLabel > 0 ? kRightMargin / m_widestLabel : s.pixelStep * 3 / 4;
    const int h = std::min(byWidth, s.pixelStep * 3 / 4);
    const bool wholeOnly = isNamed("P") || isNamed("M");
    const bool prices = isNamed("O");
    const bool labels = hasData();
    std::string lastLabel;
    for (int i = 0; i <= s.divisions; ++i) {
        const int y = s.plotBottom - i * s.pixelStep;
        if (gridLines && i >= 1 && i <= 9)
            gdi::hLine(p, s.plotLeft, s.plotRight, y, kGridColour);
        if (!labels)
            continue;
        const double v = s.valueStep * i + s.min;
        const std::string text = valueLabel(v, wholeOnly);
        if (prices) {
            gdi::textInBox(p, fonts::label(), QRect(s.plotLeft - 30, y - 12, 30, 18), Text(text), kLabelColour, kBlack);
            const Colour c = i >= 6 ? kRiseColour : (i <= 4 ? kFallColour : kMiddleColour);
            gdi::textOut(p, fonts::label(), s.plotRight + 5, y - 13, Text(percentLabel(s.valueStep, i, s.max, s.min)), c,
                         kBlack);
        } else if (text != lastLabel) {
            gdi::textOut(p, fonts::label(), s.plotRight + 5, y - h / 2 + 2, Text(text), kLabelColour, kBlack);
            lastLabel = text;
        }
    }
}

void CSubArea::placeAndDraw(QPainter& p, CSubAreaDisplayOne& d, int first, int last, int drawFrom, int drawTo)
{
    d.Slots().clear();
    const int w = m_scale.slotWidth;
    const int count = int(d.elementCount());
    int newest = -1;
    for (int i = std::max(first, 0); i < count && i <= last; ++i) {
        const int left = m_scale.plotLeft + (i - first) * w;
        const DisplaySlot& slot = d.placeElement(d.Element(std::size_t(i)), left, left + w, false);
        if (i >= drawFrom && i <= drawTo)
            d.drawSlot(p, slot);
        newest = i;
    }
    d.setDrawnUpTo(newest);
}

namespace {

Colour firstColour(const CSubAreaDisplayOne& d)
{
    const CDataElement* e = d.Element(0);
    return static_cast<const CDataElementPoint*>(e)->colour;
}

} // namespace
