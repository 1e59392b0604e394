#include "chart/DrawingLayer.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMouseEvent>

#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/ChartCanvas.h"
#include "chart/ChartText.h"
#include "chart/private/ChartFonts.h"
#include "chart/private/PixelWriter.h"

namespace chart {
namespace {

using drawing::Anchor;
using drawing::Extent;
using drawing::Pixel;
using drawing::Shape;

constexpr int kHandleSize = 6;
constexpr int kLabelReach = 200; // wider than any level's label

QPointF toQ(Pixel p)
{
    return {p.x, p.y};
}

QRectF textBox(const Drawing& d, Pixel at)
{
    const QFontMetrics m(fonts::label());
    return QRectF(at.x, at.y - m.ascent(), m.horizontalAdvance(QString::fromStdString(d.text)), m.height());
}

} // namespace

DrawingLayer::DrawingLayer(CKBarCtrl& ctrl, std::filesystem::path settingsDir, QObject* parent)
    : QObject(parent)
    , m_ctrl(ctrl)
    , m_dir(std::move(settingsDir))
{
    DrawingsFile file = readDrawings(m_dir);
    m_book = DrawingBook(std::move(file.items));
    m_broken = std::move(file.failed);
    m_ascent = QFontMetricsF(fonts::label()).ascent();
    m_askText = [this]() -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(&m_ctrl, QStringLiteral("文字"), QStringLiteral("文字:"),
                                                   QLineEdit::Normal, {}, &ok);
        return ok && !text.trimmed().isEmpty() ? std::optional(text) : std::nullopt;
    };
}

void DrawingLayer::setCandles(int item, int periodCode, const std::vector<CandleRecord>& records)
{
    if (item != m_item) {
        m_pending.clear();
        m_rubber.reset();
        m_selected = -1;
        m_drag.reset();
    }
    m_item = item;
    m_records = records;
    std::vector<std::int64_t> times;
    times.reserve(records.size());
    for (const CandleRecord& r : records)
        times.push_back(r.time);
    m_times = drawing::SlotTimes(std::move(times), drawing::periodSeconds(periodCode));
}

void DrawingLayer::touch()
{
    // With nothing to show over a chart that holds none, the chart stays as it is.
    if (!shows() && !m_painted)
        return;
    m_ctrl.withCanvas([](ChartCanvas& c) { c.redrawOverlaid(); });
    m_ctrl.update();
}

bool DrawingLayer::shows() const
{
    return !m_book.of(m_item).empty() || !m_pending.empty();
}

void DrawingLayer::setTool(std::optional<drawing::Shape> tool)
{
    m_tool = tool;
    m_pending.clear();
    m_rubber.reset();
    if (tool)
        m_selected = -1;
    touch();
}

bool DrawingLayer::frame(drawing::Frame& f) const
{
    const CSubArea* area = m_ctrl.withCanvas([](ChartCanvas& c) { return c.findSubArea("N"); });
    if (!area || area->Scale().slotWidth <= 0 || m_records.empty())
        return false;
    const CSubAreaScale& s = area->Scale();
    f = {s.plotLeft, s.plotTop, s.plotRight, s.plotBottom, s.max, s.min, area->firstDrawn(), s.slotWidth};
    return true;
}

Anchor DrawingLayer::anchorAt(QPointF at) const
{
    drawing::Frame f;
    if (!frame(f))
        return {};
    Anchor a = drawing::toAnchor({at.x(), at.y()}, f, m_times);
    if (!m_magnet)
        return a;
    // The magnet: the nearest of the candle's open, high, low and close.
    const double index = std::round(m_times.indexOf(a.time));
    if (index < 0 || index >= double(m_records.size()))
        return a;
    const CandleRecord& c = m_records[std::size_t(index)];
    double best = c.close;
    for (const double v : {c.open, c.high, c.low})
        if (std::fabs(v - a.price) < std::fabs(best - a.price))
            best = v;
    a.price = best;
    return a;
}

std::vector<Pixel> DrawingLayer::pixelsOf(const std::vector<Anchor>& points, const drawing::Frame& f) const
{
    std::vector<Pixel> pixels;
    pixels.reserve(points.size());
    for (const Anchor& a : points)
        pixels.push_back(drawing::toPixel(a, f, m_times));
    return pixels;
}

bool DrawingLayer::paint(QImage& image, const QRect& drawn)
{
    m_painted = false;
    const std::vector<Drawing>& list = m_book.of(m_item);
    if (list.empty() && m_pending.empty())
        return false; // the chart as it is without drawings
    drawing::Frame f;
    if (!frame(f))
        return false;
    m_painted = true;
    const QRect plot(f.left, f.top, f.right - f.left, f.bottom - f.top);
    PixelWriter out(image, plot);
    out.limitWrites(drawn);
    const qreal ratio = image.devicePixelRatio();
    if (ratio != m_textRatio) {
        m_texts.clear();
        m_textRatio = ratio;
    }
    auto shownAs = [&](std::size_t i) -> const Drawing& {
        return m_drag && int(i) == m_selected ? m_drag->moved : list[i];
    };
    for (std::size_t i = 0; i < list.size(); ++i)
        paintDrawing(out, drawn, shownAs(i), f, int(i) == m_selected);
    if (!m_pending.empty() && m_tool) {
        // The rubber band: the shape as it would be with the mouse's point.
        Drawing band;
        band.shape = *m_tool;
        band.points = m_pending;
        if (m_rubber)
            band.points.push_back(*m_rubber);
        if (*m_tool == Shape::Channel && band.points.size() == 2)
            band.shape = Shape::Segment;
        if (int(band.points.size()) >= drawing::pointCount(band.shape))
            paintDrawing(out, drawn, band, f, false);
    }
    // The horizontal lines' prices at the right edge, over the scale's labels.
    out.setClip(QRect(QPoint(0, 0), image.deviceIndependentSize().toSize()));
    out.limitWrites(drawn);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Drawing& d = shownAs(i);
        if (d.shape != Shape::Horizontal || d.points.empty())
            continue;
        const double y = drawing::yOfPrice(d.points[0].price, f);
        if (y < f.top || y > f.bottom)
            continue;
        const TextPixels& price = laidOut(QString::fromStdString(fixedText(d.points[0].price, 2)));
        const QSizeF size = QSizeF(price.width, price.height) / ratio;
        const QRectF box(f.right + 1, y - size.height() / 2, size.width() + 4, size.height());
        out.fill(box, d.colour);
        out.text(box.topLeft() + QPointF(2, 0), price, kBlack);
    }
    return true;
}

const TextPixels& DrawingLayer::laidOut(const QString& text) const
{
    // Laid out once: shaping the labels again at every paint costs more than the lines.
    if (m_texts.size() > 512)
        m_texts.clear();
    auto it = m_texts.find(text);
    if (it == m_texts.end())
        it = m_texts.emplace(text, textPixels(text, fonts::label(), m_textRatio)).first;
    return it->second;
}

void DrawingLayer::drawLabel(PixelWriter& out, QPointF baseline, const QString& text, Colour colour) const
{
    out.text(baseline - QPointF(0, m_ascent), laidOut(text), colour);
}

void DrawingLayer::paintDrawing(PixelWriter& out, const QRect& drawn, const Drawing& d, const drawing::Frame& f,
                                bool selected) const
{
    const std::vector<Pixel> px = pixelsOf(d.points, f);
    if (int(px.size()) < drawing::pointCount(d.shape))
        return;
    auto line = [&](Pixel a, Pixel b, Extent e) {
        if (const auto c = drawing::clipToFrame(a, b, e, f))
            out.line(toQ(c->first), toQ(c->second), d.colour, d.style);
    };
    switch (d.shape) {
    case Shape::Segment: line(px[0], px[1], Extent::Segment); break;
    case Shape::Ray: line(px[0], px[1], Extent::Ray); break;
    case Shape::Line: line(px[0], px[1], Extent::Line); break;
    case Shape::Horizontal: out.line(QPointF(f.left, px[0].y), QPointF(f.right, px[0].y), d.colour, d.style); break;
    case Shape::Channel: {
        line(px[0], px[1], Extent::Segment);
        const auto [c, e] = drawing::parallelThrough(px[0], px[1], px[2]);
        line(c, e, Extent::Segment);
        break;
    }
    case Shape::Fibonacci: {
        const auto prices = drawing::fibonacciPrices(d.points[0].price, d.points[1].price);
        const double left = std::min(px[0].x, px[1].x);
        const double right = std::max(px[0].x, px[1].x);
        // Its labels are laid out only where they may show: a poll redraws the newest candles.
        const bool labelled = left - kLabelReach <= drawn.right() && right + kLabelReach >= drawn.left();
        for (std::size_t i = 0; i < prices.size(); ++i) {
            const double y = drawing::yOfPrice(prices[i], f);
            out.line(QPointF(left, y), QPointF(right, y), d.colour, d.style);
            if (labelled)
                drawLabel(out, QPointF(left + 2, y - 2),
                          QString::fromStdString(fixedText(drawing::kFibonacciLevels[i], 1) + "% "
                                                 + fixedText(prices[i], 2)),
                          d.colour);
        }
        break;
    }
    case Shape::Rectangle: out.outline(toQ(px[0]), toQ(px[1]), d.colour, d.style); break;
    case Shape::Text: drawLabel(out, toQ(px[0]), QString::fromStdString(d.text), d.colour); break;
    }
    if (selected)
        for (const Pixel& h : px)
            out.fill(QRectF(h.x - kHandleSize / 2.0, h.y - kHandleSize / 2.0, kHandleSize, kHandleSize), d.colour);
}

int DrawingLayer::selectAt(QPoint at)
{
    m_selected = -1;
    drawing::Frame f;
    if (frame(f)) {
        const std::vector<Drawing>& list = m_book.of(m_item);
        // The newest on top is hit first.
        for (int i = int(list.size()) - 1; i >= 0 && m_selected < 0; --i) {
            const std::vector<Pixel> px = pixelsOf(list[std::size_t(i)].points, f);
            std::optional<std::array<double, 4>> box;
            if (list[std::size_t(i)].shape == Shape::Text && !px.empty()) {
                const QRectF r = textBox(list[std::size_t(i)], px[0]);
                box = std::array<double, 4>{r.left(), r.top(), r.right(), r.bottom()};
            }
            if (drawing::hitTest(list[std::size_t(i)].shape, px, {double(at.x()), double(at.y())}, f, box).hit)
                m_selected = i;
        }
    }
    touch();
    return m_selected;
}

void DrawingLayer::commit()
{
    // A broken file stays as it is until the user draws; then it holds what is drawn.
    writeDrawings(m_dir, m_book.items());
    touch();
}

void DrawingLayer::removeSelected()
{
    if (m_selected >= 0 && m_book.remove(m_item, std::size_t(m_selected))) {
        m_selected = -1;
        commit();
    }
}

void DrawingLayer::removeAll()
{
    m_selected = -1;
    if (m_book.removeAll(m_item))
        commit();
}

void DrawingLayer::changeSelected(const std::function<void(Drawing&)>& edit)
{
    if (m_selected < 0 || std::size_t(m_selected) >= drawings().size())
        return;
    Drawing d = drawings()[std::size_t(m_selected)];
    edit(d);
    if (m_book.change(m_item, std::size_t(m_selected), d))
        commit();
}

void DrawingLayer::recolourSelected(Colour colour)
{
    changeSelected([colour](Drawing& d) { d.colour = colour; });
}

void DrawingLayer::restyleSelected(LineStyle style)
{
    changeSelected([style](Drawing& d) { d.style = style; });
}

bool DrawingLayer::undo()
{
    if (!m_book.undo(m_item))
        return false;
    m_selected = -1;
    commit();
    return true;
}

void DrawingLayer::finishPending()
{
    Drawing d;
    d.shape = *m_tool;
    d.points = m_pending;
    m_pending.clear();
    m_rubber.reset();
    bool keep = true;
    if (d.shape == Shape::Text) {
        const std::optional<QString> text = m_askText ? m_askText() : std::nullopt;
        keep = text.has_value();
        if (text)
            d.text = text->toStdString();
    }
    m_tool.reset();
    if (keep) {
        m_book.add(m_item, std::move(d));
        m_selected = int(drawings().size()) - 1;
        commit();
    }
    touch();
    emit toolDone();
}

bool DrawingLayer::mousePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_records.empty())
        return false;
    if (m_tool) {
        m_pending.push_back(anchorAt(event->position()));
        if (int(m_pending.size()) >= drawing::pointCount(*m_tool))
            finishPending();
        touch();
        return true;
    }
    if (selectAt(event->position().toPoint()) < 0)
        return false;
    drawing::Frame f;
    frame(f);
    const Drawing& d = drawings()[std::size_t(m_selected)];
    const drawing::Hit hit = drawing::hitTest(d.shape, pixelsOf(d.points, f),
                                              {event->position().x(), event->position().y()}, f);
    m_drag = Drag{hit.handle, drawing::toAnchor({event->position().x(), event->position().y()}, f, m_times), d, d};
    return true;
}

bool DrawingLayer::mouseMove(QMouseEvent* event)
{
    if (m_tool && !m_pending.empty()) {
        m_rubber = anchorAt(event->position());
        touch();
        return true;
    }
    if (!m_drag)
        return false;
    drawing::Frame f;
    if (!frame(f))
        return true;
    Drag& drag = *m_drag;
    drag.moved = drag.original;
    if (drag.handle >= 0) {
        drag.moved.points[std::size_t(drag.handle)] = anchorAt(event->position());
    } else {
        // The whole drawing moves by whole candles and by price, so it stays on candles.
        const Anchor to = drawing::toAnchor({event->position().x(), event->position().y()}, f, m_times);
        const double candles = std::round(m_times.indexOf(to.time) - m_times.indexOf(drag.from.time));
        const double dPrice = to.price - drag.from.price;
        for (Anchor& a : drag.moved.points) {
            a.time = m_times.timeAt(m_times.indexOf(a.time) + candles);
            a.price += dPrice;
        }
    }
    touch();
    return true;
}

bool DrawingLayer::mouseRelease(QMouseEvent* event)
{
    if (!m_drag || event->button() != Qt::LeftButton)
        return m_tool.has_value();
    const Drag drag = *m_drag;
    m_drag.reset();
    if (m_book.change(m_item, std::size_t(m_selected), drag.moved))
        commit();
    touch();
    return true;
}

bool DrawingLayer::wantsKey(const QKeyEvent* event) const
{
    switch (event->key()) {
    case Qt::Key_Escape: return !m_pending.empty() || m_tool.has_value();
    case Qt::Key_Delete: return m_selected >= 0;
    case Qt::Key_Z: return event->modifiers() == Qt::ControlModifier;
    default: return false;
    }
}

bool DrawingLayer::key(QKeyEvent* event)
{
    if (!wantsKey(event))
        return false;
    switch (event->key()) {
    case Qt::Key_Escape:
        setTool(std::nullopt);
        emit toolDone();
        return true;
    case Qt::Key_Delete:
        removeSelected();
        return true;
    default:
        return undo();
    }
}

} // namespace chart
