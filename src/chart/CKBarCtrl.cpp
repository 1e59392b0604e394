#include "chart/CKBarCtrl.h"

#include <algorithm>
#include <cstdlib>

#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include "chart/CDataElementKBar.h"
#include "chart/CSubArea.h"
#include "chart/CSubAreaDisplayOne.h"
#include "chart/ChartLegend.h"
#include "chart/ChartMath.h"
#include "chart/DrawingLayer.h"
#include "platform/Trace.h"
#include "chart/Show_Keyline_Msg__Dlg.h"

CKBarCtrl::CKBarCtrl(QWidget* parent)
    : QWidget(parent)
    , m_canvas(std::make_unique<chart::ChartCanvas>(QSize(1, 1)))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    // A click also gives the focus, so the keys reach the chart the user works in.
    setFocusPolicy(Qt::StrongFocus);
    m_timer1.setInterval(kCrossHairIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &CKBarCtrl::updateCrossHair);
}

CKBarCtrl::~CKBarCtrl() = default;

bool CKBarCtrl::Create(QWidget* parent, const QRect& rect, int id)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return false;
    if (parent != parentWidget())
        setParent(parent);
    m_id = id;
    setObjectName(QString::number(id));
    setGeometry(rect);
    // Drawn at the screen's density; a later move to a screen of another density only
    // scales the copy until the next Create.
    m_canvas = std::make_unique<chart::ChartCanvas>(rect.size(), devicePixelRatioF());
    if (!m_infoBox)
        m_infoBox = new Show_Keyline_Msg__Dlg(this);
    m_infoBox->hide();
    m_infoBox->setGeometry(QRect(QPoint(70, 200), QPoint(169, 429)));
    m_timer1.start();
    show();
    update();
    return true;
}

void CKBarCtrl::AddSubArea(const std::string& name, int row, int heightPercent, int leftMargin, int topMargin,
                           int bottomMargin)
{
    m_canvas->AddSubArea(name, row, heightPercent, leftMargin, topMargin, bottomMargin);
}

bool CKBarCtrl::AddDisplay(chart::DisplayKind kind, int row, const std::string& name)
{
    return m_canvas->AddDisplay(kind, row, name);
}

void CKBarCtrl::AppendElement(const CDataElement& element, const std::string& displayName)
{
    m_canvas->AppendElement(element, displayName);
}

void CKBarCtrl::ClearDisplay(const std::string& displayName)
{
    m_canvas->ClearDisplay(displayName);
}

void CKBarCtrl::SetTitle(const std::string& subAreaName, const std::string& text)
{
    m_canvas->SetTitle(subAreaName, text);
}

void CKBarCtrl::SetAxisLegend(const std::string& subAreaName)
{
    m_canvas->SetAxisLegend(subAreaName);
}

void CKBarCtrl::DrawRange(const std::string& subAreaName, int first, int last)
{
    m_canvas->DrawRange(subAreaName, first, last);
}

int CKBarCtrl::legendIndex() const
{
    return chart::legendIndex(*m_canvas, m_crossHair.y() != 0 ? m_crossHair.x() : 0);
}

void CKBarCtrl::paintLegend(QPainter& p)
{
    const std::vector<chart::LegendRow> rows = chart::legendRows(*m_canvas, legendIndex());
    bool same = rows.size() == m_legend.size();
    for (std::size_t i = 0; same && i < rows.size(); ++i)
        same = rows[i] == m_legend[i].row && chart::legendBand(*rows[i].area) == m_legend[i].band;
    if (!same) {
        // Shaping the texts costs more than the copy of the whole chart: it is done once for
        // every change of the values, not at every paint.
        m_legend.clear();
        for (const chart::LegendRow& row : rows)
            m_legend.push_back({chart::legendBand(*row.area), row, chart::renderLegendRow(row, devicePixelRatioF())});
    }
    for (const PaintedLegend& l : m_legend)
        p.drawImage(l.band.topLeft(), l.image);
}

std::vector<chart::LegendRow> CKBarCtrl::legend() const
{
    return chart::legendRows(*m_canvas, legendIndex());
}

QImage CKBarCtrl::Snapshot() const
{
    return m_canvas->Image().copy();
}

void CKBarCtrl::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    // Only what needs painting: a cross-hair move repaints two thin strips.
    const QImage& image = m_canvas->Image();
    const QRectF target(event->rect());
    const qreal ratio = image.devicePixelRatio();
    p.drawImage(target, image, QRectF(target.topLeft() * ratio, target.size() * ratio));
    // The key cursor names a candle, not a place: a reload that moves the window moves it.
    if (m_keyCursor >= 0)
        m_crossHair = keyCrossHair();
    // Like the cross-hair, the legend follows the mouse over the copy, not in the image.
    paintLegend(p);
    // The cross-hair is drawn over every copy, so a paint never wipes it until the mouse leaves.
    if (m_crossHair.x() != 0 && m_crossHair.y() != 0) {
        // Inverting keeps the lines visible on any colour of the chart.
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        QPen pen(QColor(160, 160, 160), 2);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(0, m_crossHair.y(), width() - 20, m_crossHair.y());
        p.drawLine(m_crossHair.x(), 20, m_crossHair.x(), height() - 20);
    }
    // A reload under a standing cross-hair changes what it reads.
    followCrossHair();
}

void CKBarCtrl::setDrawingLayer(chart::DrawingLayer* layer)
{
    m_drawings = layer;
    chart::ChartCanvas::Overlay overlay;
    if (layer)
        overlay = [layer](QImage& image, const QRect& drawn) { return layer->paint(image, drawn); };
    m_canvas->setOverlay("N", std::move(overlay));
}

void CKBarCtrl::followCrossHair()
{
    if (!m_infoBox || !m_readout || m_crossHair.x() == 0 || m_crossHair.y() == 0)
        return;
    const CSubArea* first = m_canvas->firstRowArea();
    m_infoBox->SetMode(first && first->Name() == "N" ? 1 : 0);
    m_infoBox->setReadout(m_readout(legendIndex()));
    if (!m_infoBox->isVisible()) {
        m_infoBox->show();
        m_infoBox->raise();
    }
}

void CKBarCtrl::mousePressEvent(QMouseEvent* event)
{
    if (m_drawings && m_drawings->mousePress(event))
        return;
    if (event->button() != Qt::LeftButton)
        return;
    m_clicked = true;
    m_tracking = true;
    m_cursor = event->position().toPoint();
    const CSubArea* first = m_canvas->firstRowArea();
    const bool candles = first && first->Name() == "N";
    if (m_infoBox)
        m_infoBox->SetMode(candles ? 1 : 0);
}

void CKBarCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (m_drawings && m_drawings->mouseMove(event)) {
        m_cursor = at;
        return;
    }
    // The mouse takes the cross-hair back from the keys once it moves.
    if (m_keyCursor >= 0 && at != m_keyMouseAt) {
        m_keyCursor = -1;
        m_crossHair = QPoint();
        update();
    }
    m_cursor = at;
}

void CKBarCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_drawings)
        m_drawings->mouseRelease(event);
}

bool CKBarCtrl::event(QEvent* event)
{
    // Esc, Delete and Ctrl+Z of a drawing come before the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride && m_drawings
        && m_drawings->wantsKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void CKBarCtrl::keyPressEvent(QKeyEvent* event)
{
    if (m_drawings && m_drawings->key(event)) {
        event->accept();
        return;
    }
    if (handleKey(event->key()))
        event->accept();
    else
        event->ignore(); // the market window's keys
}

void CKBarCtrl::wheelEvent(QWheelEvent* event)
{
    // A notch zooms as Up and Down do: away from the trader in, towards them out. A touchpad
    // turns in small steps, which add up to notches.
    m_wheel += event->angleDelta().y();
    bool used = false;
    while (std::abs(m_wheel) >= QWheelEvent::DefaultDeltasPerStep) {
        const bool in = m_wheel > 0;
        m_wheel -= in ? QWheelEvent::DefaultDeltasPerStep : -QWheelEvent::DefaultDeltasPerStep;
        used = handleKey(in ? Qt::Key_Up : Qt::Key_Down) || used;
    }
    if (!used && m_wheel == 0)
        event->ignore();
}

void CKBarCtrl::setKeyCursor(int index)
{
    m_keyCursor = index;
    m_keyMouseAt = m_cursor;
    m_crossHair = index < 0 ? QPoint() : keyCrossHair();
    update();
}

QPoint CKBarCtrl::keyCrossHair() const
{
    const CSubArea* area = m_canvas->firstRowArea();
    if (!area || area->displayCount() == 0)
        return {};
    const auto& drawn = area->Display(0).Slots();
    if (drawn.empty())
        return {};
    const int slot = std::clamp(m_keyCursor - area->firstDrawn(), 0, int(drawn.size()) - 1);
    const DisplaySlot& s = drawn[std::size_t(slot)];
    const CDataElement* e = s.element;
    const double value = e->Type() == chart::ElementType::KBar ? static_cast<const CDataElementKBar*>(e)->close
                                                               : e->High();
    const CSubAreaScale& scale = area->Scale();
    const int y = std::clamp(scale.ValueToY(value), scale.plotTop + 1, scale.plotBottom - 1);
    return QPoint((s.slotLeft + s.slotRight) / 2, y);
}

void CKBarCtrl::enterEvent(QEnterEvent* event)
{
    m_tracking = true;
    m_cursor = event->position().toPoint();
}

void CKBarCtrl::leaveEvent(QEvent*)
{
    // Into the box itself (to drag it) keeps it; anywhere else it goes with the cross-hair.
    if (m_infoBox && !m_infoBox->geometry().contains(mapFromGlobal(QCursor::pos())))
        m_infoBox->hide();
    m_keyCursor = -1;
    m_clicked = false;
    m_tracking = false;
    m_crossHair = QPoint();
    update();
}

void CKBarCtrl::updateCrossHair()
{
    if (!m_clicked || !m_tracking || m_keyCursor >= 0)
        return;
    chart::CrossHairGeometry g;
    g.clientRight = width();
    g.clientBottom = height();
    const CSubArea* area = m_canvas->firstRowArea();
    if (!area || area->displayCount() == 0)
        return;
    g.areaLeft = area->Left();
    g.leftMargin = area->LeftMargin();
    // The scale's own slot width, so the cross-hair follows the drawn slots whatever index
    // the window starts at.
    g.slotWidth = area->Scale().slotWidth;
    g.slotCount = int(area->Display(0).Slots().size());
    qCDebug(lcVelmoraTrace, "\nn_lowwidth:%d num_width:%d num_end:%d  num_num:%d\n",
            g.areaLeft + g.leftMargin + g.slotCount * g.slotWidth, area->Width(), area->lastDrawn(), g.slotCount);
    if (m_cursor == m_crossHair)
        return;
    const std::optional<QPoint> next = chart::snapCrossHair(m_cursor, g);
    if (!next)
        return;
    qCDebug(lcVelmoraTrace, "\n newopint:%d %d\n", next->x(), next->y());
    qCDebug(lcVelmoraTrace, "\n oldopint:%d %d\n", m_crossHair.x(), m_crossHair.y());
    if (*next == m_crossHair)
        return;
    m_crossHair = *next;
    update();
}
