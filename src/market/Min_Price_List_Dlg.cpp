#include "market/Min_Price_List_Dlg.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

#include "client/Call.h"
#include "controls/JListCtrl.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "market/core/MarketColours.h"

namespace {

const QColor kAreaColour(56, 56, 56);
const QColor kTopBandColour(112, 112, 112);
const QColor kTabChosen(41, 41, 41);
const QColor kTabOther(66, 66, 66);
const QString kTabLabels[] = {QStringLiteral("分笔"), QStringLiteral("咨询"), QStringLiteral("分价")};

} // namespace

Min_Price_List_Dlg::Min_Price_List_Dlg(QWidget* parent)
    : QWidget(parent)
    , m_priceList(new JListCtrl(this))
    , m_font(platform::font(QStringLiteral("宋体"), 13))
{
    setObjectName(QStringLiteral("Min_Price_List_Dlg"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    m_priceList->setObjectName(QString::number(kPriceListId));
    m_priceList->setBackgroundColour(QColor(32, 32, 32));
    m_priceList->setDefaultTextColour(market::kLevelColour);
    m_priceList->addColumn(QStringLiteral("序"), 40);
    m_priceList->addColumn(QStringLiteral("成交价"), 70);
    m_priceList->addColumn(QStringLiteral("成交量"), 70);
    m_priceList->addColumn(QStringLiteral("比例"), 100);
    m_priceList->hide();
    layoutPriceList(true);
}

QRect Min_Price_List_Dlg::tabRect(int tab) const
{
    const int c = width() / 3;
    return QRect(QPoint(tab * c, height() - kBandHeight), QPoint((tab + 1) * c - 1, height() - 1));
}

void Min_Price_List_Dlg::showMode(Mode mode)
{
    std::string wire;
    if (mode == Mode::Ticks)
        wire = client::fetchText(client::Endpoint::DealDetailAll, {}, {"成交明细\n", "\n"});
    else if (mode == Mode::Prices)
        wire = client::fetchText(client::Endpoint::PriceDetail, {}, client::TraceLines{});
    drawMode(mode, wire);
}

void Min_Price_List_Dlg::drawMode(Mode mode, const std::string& wire)
{
    m_mode = mode;
    ensureCanvas();
    layoutPriceList(false);
    m_priceList->hide();
    drawBand();
    if (mode == Mode::Ticks)
        drawTicks(market::parseTicks(wire));
    else if (mode == Mode::Prices)
        drawPrices(market::parsePriceRows(wire));
    update();
}

void Min_Price_List_Dlg::layoutPriceList(bool initial)
{
    const int w = width();
    m_priceList->setGeometry(0, kBandHeight, w, std::max(0, height() - 2 * kBandHeight));
    const int widths[] = {40, initial ? 70 : 80, initial ? 70 : 80, std::max(0, initial ? w - 180 : w - 201)};
    for (int c = 0; c < 4; ++c)
        m_priceList->setColumnWidth(c, widths[c]);
}

void Min_Price_List_Dlg::ensureCanvas()
{
    // Device pixels at the screen's density, so the ticks stay sharp on a high-density screen.
    const qreal ratio = devicePixelRatioF();
    const QSize logical = size().expandedTo(QSize(1, 1));
    if (m_canvas.deviceIndependentSize() != QSizeF(logical) || m_canvas.devicePixelRatio() != ratio) {
        QImage fresh(qCeil(logical.width() * ratio), qCeil(logical.height() * ratio), QImage::Format_RGB32);
        fresh.setDevicePixelRatio(ratio);
        fresh.fill(kAreaColour);
        m_canvas = fresh;
    }
}

void Min_Price_List_Dlg::drawBand()
{
    QPainter p(&m_canvas);
    p.setFont(m_font);
    for (int k = 0; k < 3; ++k) {
        const QRect r = tabRect(k);
        p.fillRect(r, k == static_cast<int>(m_mode) ? kTabChosen : kTabOther);
        p.setPen(market::kLevelColour);
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, kTabLabels[k]);
    }
}

void Min_Price_List_Dlg::drawAreaBackground(QPainter& p, const QRect& area, bool columnLines, const market::TickGrid& grid)
{
    p.fillRect(area, kAreaColour);
    p.fillRect(QRect(area.left(), area.top(), area.width(), kBandHeight), kTopBandColour);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(area.left(), area.top(), area.right(), area.top());
    if (columnLines)
        for (int k = 1; k < grid.columns; ++k)
            p.drawLine(k * grid.columnWidth, kBandHeight, k * grid.columnWidth, area.bottom());
}

void Min_Price_List_Dlg::drawTicks(const std::optional<std::vector<market::Tick>>& ticks)
{
    const QRect area(0, 0, width(), std::max(0, height() - kBandHeight));
    const market::TickGrid grid = market::tickGridLayout(area.width(), area.height());
    QPainter p(&m_canvas);
    p.setClipRect(area);
    drawAreaBackground(p, area, true, grid);
    if (!ticks)
        return;
    p.setFont(m_font);
    p.setPen(market::kLevelColour);
    p.drawText(QRect(0, 0, area.width(), kBandHeight), Qt::AlignCenter | Qt::TextSingleLine,
               QString::fromStdString(market::tickCountText(static_cast<int>(ticks->size()))));
    const int right = int(Qt::AlignRight | Qt::AlignVCenter) | Qt::TextSingleLine;
    for (int i = 0; i < static_cast<int>(ticks->size()); ++i) {
        const std::optional<market::TickCellBoxes> place = market::tickCellPlace(grid, i);
        if (!place)
            break;
        const market::Tick& t = (*ticks)[i];
        p.setPen(market::kLevelColour);
        p.drawText(place->time, int(right), QString::fromStdString(market::tickTimeText(t.time)));
        p.drawText(place->price, int(right), QString::fromStdString(market::tickPriceText(t.price)));
        p.setPen(market::kVolumeColour);
        p.drawText(place->volume, int(right), QString::number(t.volume));
    }
}

void Min_Price_List_Dlg::drawPrices(const std::optional<std::vector<market::PriceRow>>& rows)
{
    const QRect area(0, 0, width(), std::max(0, height() - kBandHeight));
    QPainter p(&m_canvas);
    p.setClipRect(area);
    drawAreaBackground(p, area, false, {});
    if (!rows)
        return;
    m_priceList->show();
    m_priceList->clearRows();
    for (int v = 0; v < static_cast<int>(rows->size()); ++v) {
        const market::PriceRow& r = (*rows)[v];
        m_priceList->appendRow({QString::number(v + 1), QString::fromStdString(market::tickPriceText(r.price)),
                                QString::number(r.volume)});
        for (int c = 0; c < 3; ++c)
            m_priceList->setCellColour(v, c, market::kLevelColour);
    }
    p.setFont(m_font);
    p.setPen(market::kLevelColour);
    p.drawText(QRect(0, 0, area.width(), kBandHeight), Qt::AlignCenter | Qt::TextSingleLine,
               QString::fromStdString(market::priceTableTitle(market::priceTableFullScale(*rows))));
}

void Min_Price_List_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_canvas.isNull())
        p.fillRect(rect(), kAreaColour);
    else
        p.drawImage(0, 0, m_canvas);
}

void Min_Price_List_Dlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    for (int k = 0; k < 3; ++k)
        if (tabRect(k).contains(at)) {
            showMode(static_cast<Mode>(k));
            break;
        }
    // The window moves with the pointer inside its parent, as if dragged by a caption.
    m_dragFrom = event->globalPosition().toPoint() - pos();
}

void Min_Price_List_Dlg::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragFrom && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - *m_dragFrom);
}

void Min_Price_List_Dlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragFrom.reset();
    QWidget::mouseReleaseEvent(event);
}

void Min_Price_List_Dlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
