#include "trade/OrderWindow.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "controls/CButtonBMP.h"
#include "controls/CMyEdit.h"
#include "controls/CSkinEdit.h"
#include "controls/JListCtrl.h"
#include "platform/Bitmaps.h"
#include "platform/Colours.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"
#include "trade/Export.h"
#include "trade/QuoteBox.h"

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

// The trading windows' plain command face; the order button wears its side's colour.
constexpr CButtonBMP::Bitmaps kCommandFace{platform::bmp::PanelButton, platform::bmp::PanelButtonHover,
                                           platform::bmp::PanelButtonPressed};

CButtonBMP* makeButton(QWidget* parent, int id, const char* caption, const QRect& rect,
                       CButtonBMP::Bitmaps face = kCommandFace)
{
    auto* button = CButtonBMP::Create(parent, id, QString::fromUtf8(caption), face, rect);
    button->setFont(platform::font(QStringLiteral("宋体"), 14));
    return button;
}

void digitsOnly(QLineEdit* edit)
{
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

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

    m_code = new CSkinEdit(this);
    m_code->setObjectName(QString::number(kCodeField));
    m_code->setGeometry(surface.codeField);
    digitsOnly(m_code);
    m_price = new CMyEdit(this);
    m_price->setObjectName(QString::number(kPriceField));
    m_price->setGeometry(surface.priceField);
    m_quantity = new CSkinEdit(this);
    m_quantity->setObjectName(QString::number(kQuantityField));
    m_quantity->setGeometry(surface.quantityField);
    digitsOnly(m_quantity);
    for (QLineEdit* field : std::initializer_list<QLineEdit*>{m_code, m_price, m_quantity}) {
        field->setFont(platform::font(QStringLiteral("宋体"), 14));
        field->installEventFilter(this);
    }

    auto* quote = makeButton(this, kQuoteButton, "行情", platform::edges(50, 250, 110, 274));
    auto* order = makeButton(this, kOrderButton, surface.orderCaption.toUtf8().constData(),
                             platform::edges(135, 250, 195, 274), surface.orderFace);
    m_refresh = makeButton(this, kRefreshButton, "刷新", QRect(0, kButtonTop, 44, kButtonBottom - kButtonTop));
    m_export = makeButton(this, kExportButton, "导出", QRect(0, kButtonTop, 44, kButtonBottom - kButtonTop));
    connect(quote, &QPushButton::clicked, this, [this] { refreshQuote(true); });
    connect(order, &QPushButton::clicked, this, [this] { placeOrder(); });
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
}

QLineEdit* OrderWindow::codeField() const { return m_code; }
QLineEdit* OrderWindow::priceField() const { return m_price; }
QLineEdit* OrderWindow::quantityField() const { return m_quantity; }

OrderForm OrderWindow::form() const
{
    return {m_code->text().toStdString(), m_price->text().toStdString(), m_quantity->text().toStdString()};
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

void OrderWindow::clearInputs()
{
    m_code->clear();
    m_price->clear();
    m_quantity->clear();
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

std::optional<int> OrderWindow::quoteCode() const
{
    bool ok = false;
    const int code = m_code->text().toInt(&ok);
    if (!ok || code == 0)
        return std::nullopt;
    return code;
}

void OrderWindow::refreshQuote(bool tellRefusal)
{
    const std::optional<int> code = quoteCode();
    if (!code)
        return;
    m_tick.supersede();
    takeQuote(market::FetchSingleItemQuote(*code),
              tellRefusal ? market::QuoteRefusal::Tell : market::QuoteRefusal::Quiet);
}

void OrderWindow::takeQuote(const client::ApiReply& reply, market::QuoteRefusal refusal)
{
    if (market::TakeSingleItemQuote(reply, this, refusal) != market::QuoteOutcome::Updated)
        return;
    m_quote = market::CurrentSingleItemQuote();
    update(kQuoteBox);
}

bool OrderWindow::confirmAndSend(const std::optional<std::string>& refusal, const char* question,
                                 client::Endpoint endpoint, std::vector<client::Param> params, client::TraceLines trace)
{
    if (refusal) {
        platform::messageBox(this, QString::fromStdString(*refusal));
        return false;
    }
    if (platform::messageBox(this, QString::fromUtf8(question), platform::MsgButtons::YesNo,
                             platform::MsgIcon::Question)
        != platform::MsgResult::Yes)
        return false;
    const client::ApiReply reply = client::Call(endpoint, std::move(params), trace);
    if (reply.parsed)
        platform::messageBox(this, QString::fromStdString(reply.msg));
    return true;
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

void OrderWindow::drawValue(QPainter& p, const QRect& box, const QString& text, Qt::Alignment align) const
{
    p.setFont(m_valueFont);
    p.setPen(platform::TextOnLight);
    p.drawText(box, align | Qt::AlignVCenter | Qt::TextSingleLine, text);
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
    drawQuoteBox(p, kQuoteBox, m_quote ? &*m_quote : nullptr, m_valueFont);
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

bool OrderWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_code)
            codeFieldLeft();
        else if (watched == m_price)
            priceFieldLeft();
    }
    return PanelWindow::eventFilter(watched, event);
}

} // namespace trade
