#include "trade/OrderWindow.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "controls/CButtonBMP.h"
#include "controls/JListCtrl.h"
#include "platform/Bitmaps.h"
#include "platform/core/Colours.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"
#include "trade/Export.h"
#include "trade/OrderOutcomes.h"
#include "trade/WindowLook.h"

namespace trade {
namespace {

const QColor kGround(240, 240, 240);
const QColor kFrame(160, 160, 160);
const QColor kActiveTab(192, 192, 192);
const QColor kOtherTab(160, 160, 160);
const QColor kTabText(16, 16, 16);

constexpr const char* kTabCaptions[3] = {"持仓", "订单", "成交"};
constexpr const char* kExportNames[3] = {"资金持仓.txt", "当日订单.txt", "当日成交.txt"};
constexpr int kButtonTop = 2;
constexpr int kButtonBottom = 26;

} // namespace

OrderWindow::OrderWindow(QWidget* parent, const OrderSurface& surface)
    : PanelWindow(parent)
    , m_surface(surface)
    , m_labelFont(platform::font(QStringLiteral("宋体"), 15))
    , m_valueFont(platform::font(QStringLiteral("宋体"), 13))
    , m_ordersSpec(panelOrdersList(surface.ordersTime))
    , m_positionsQuery{client::Endpoint::CustomerItem, {"\n持仓\n", "\n结束持仓\n"}, &ParsePositions}
    , m_ordersQuery{client::Endpoint::OrderToday, surface.ordersTrace, &ParseOrders}
    , m_tradesQuery{client::Endpoint::TradeToday, surface.tradesTrace, &ParseTrades}
{
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_entry = new OrderEntry(this, surface.entry);
    connect(m_entry, &OrderEntry::orderSent, this, &OrderWindow::orderSent);

    auto* quote = makeButton(this, kQuoteButton, QStringLiteral("行情"), platform::edges(50, 250, 110, 274));
    auto* order = makeButton(this, kOrderButton, surface.orderCaption,
                             platform::edges(135, 250, 195, 274), surface.orderFace);
    m_refresh = makeButton(this, kRefreshButton, QStringLiteral("刷新"), QRect(0, kButtonTop, 44, kButtonBottom - kButtonTop));
    m_export = makeButton(this, kExportButton, QStringLiteral("导出"), QRect(0, kButtonTop, 44, kButtonBottom - kButtonTop));
    connect(quote, &QPushButton::clicked, this, [this] { m_entry->refreshQuote(true); });
    connect(order, &QPushButton::clicked, m_entry, &OrderEntry::placeOrder);
    connect(m_refresh, &QPushButton::clicked, this, &OrderWindow::refresh);
    connect(m_export, &QPushButton::clicked, this, &OrderWindow::exportActiveList);

    const int ids[3] = {kPositionsList, kOrdersList, kTradesList};
    for (int i = 0; i < 3; ++i) {
        auto* list = new JListCtrl(this);
        list->setObjectName(QString::number(ids[i]));
        list->setVisible(i == 0);
        m_lists[size_t(i)] = list;
    }
    setUpList(*m_lists[0], panelPositionsList());
    setUpList(*m_lists[1], m_ordersSpec);
    setUpList(*m_lists[2], panelTradesList());
    connect(m_lists[0], &QTableWidget::cellDoubleClicked, this, [this](int row) {
        const QTableWidgetItem* code = m_lists[0]->item(row, int(PositionColumn::Code));
        if (code && !code->text().isEmpty())
            emit holdingOpened(code->text());
    });
    connect(&OrderOutcomes::instance(), &OrderOutcomes::ordersLookedUp, this, &OrderWindow::showOrders);
}

void OrderWindow::showOrders(const client::ApiReply& reply)
{
    const ParsedRows<OrderRow> rows = m_ordersQuery.parse(reply);
    if (!rows)
        return;
    fillList(*list(Tab::Orders), m_ordersSpec, *rows);
    // The orders tab comes forward with the rows it was given, without asking again.
    m_activeTab = Tab::Orders;
    for (int i = 0; i < 3; ++i)
        m_lists[size_t(i)]->setVisible(i == int(Tab::Orders));
    update(QRect(kListLeft, 0, width() - kListLeft, 29));
}

OrderEntryLayout OrderWindow::formLayout(const OrderKind& kind, const QRect& quantityField)
{
    OrderEntryLayout layout;
    layout.kind = kind;
    layout.style = FormStyle::Panel;
    layout.code = {kCodeField, platform::edges(110, 45, 220, 65)};
    layout.price = {kPriceField, platform::edges(110, 105, 220, 125)};
    layout.quantity = {kQuantityField, quantityField};
    layout.quoteBox = kQuoteBox;
    return layout;
}

void OrderWindow::refresh()
{
    JListCtrl& shown = *list(m_activeTab);
    const std::vector<client::Param> params = userParams();
    switch (m_activeTab) {
    case Tab::Positions: refreshList(shown, panelPositionsList(), m_positionsQuery, params); break;
    case Tab::Orders: refreshList(shown, m_ordersSpec, m_ordersQuery, params); break;
    case Tab::Trades: refreshList(shown, panelTradesList(), m_tradesQuery, params); break;
    }
}

void OrderWindow::clearInputs() { m_entry->clear(); }

void OrderWindow::enterPressed()
{
    if (m_surface.entry.enterPlacesOrder)
        m_entry->placeOrder();
}

void OrderWindow::orderSent()
{
    if (m_surface.refreshDelay > 0)
        QTimer::singleShot(m_surface.refreshDelay, this, &OrderWindow::refresh);
    else
        refresh();
}

QRect OrderWindow::tabRect(Tab tab) const
{
    const int left = kListLeft + 60 * int(tab);
    return platform::edges(left, 1, left + 60, 29);
}

void OrderWindow::selectTab(Tab tab)
{
    m_activeTab = tab;
    for (int i = 0; i < 3; ++i)
        m_lists[size_t(i)]->setVisible(i == int(tab));
    update(QRect(kListLeft, 0, width() - kListLeft, 29));
    refresh();
}

void OrderWindow::exportActiveList()
{
    ExportListToText(*list(m_activeTab), QString::fromUtf8(kExportNames[int(m_activeTab)]));
}

void OrderWindow::drawLabels(QPainter& p, int x, const std::vector<std::pair<int, const char*>>& labels,
                             const QColor& colour) const
{
    p.setFont(m_labelFont);
    p.setPen(colour);
    const int ascent = p.fontMetrics().ascent();
    for (const auto& [y, text] : labels)
        p.drawText(QPoint(x, y + ascent), QString::fromUtf8(text));
}

void OrderWindow::drawTabs(QPainter& p) const
{
    p.setFont(m_labelFont);
    for (int i = 0; i < 3; ++i) {
        const QRect tab(kListLeft + 60 * i, 3, 59, 24);
        p.fillRect(tab, i == int(m_activeTab) ? kActiveTab : kOtherTab);
        p.setPen(kTabText);
        p.drawText(tab, Qt::AlignCenter, QString::fromUtf8(kTabCaptions[i]));
    }
}

void OrderWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    p.setPen(kFrame);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawLine(kListLeft - 5, 1, kListLeft - 5, height() - 2);
    p.drawLine(kListLeft, 28, width() - 2, 28);
    drawForm(p);
    m_entry->paint(p, m_valueFont);
    drawTabs(p);
}

void OrderWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        for (Tab tab : {Tab::Positions, Tab::Orders, Tab::Trades}) {
            if (tabRect(tab).contains(event->position().toPoint())) {
                selectTab(tab);
                return;
            }
        }
    }
    PanelWindow::mousePressEvent(event);
}

void OrderWindow::resizeEvent(QResizeEvent*)
{
    const int d = width();
    m_refresh->move(d - m_surface.refreshLeftInset, kButtonTop);
    m_export->move(d - m_surface.refreshLeftInset + 54, kButtonTop);
    for (JListCtrl* list : m_lists)
        list->setGeometry(platform::edges(kListLeft, 29, d, height() - m_surface.listBottomInset));
}

} // namespace trade
