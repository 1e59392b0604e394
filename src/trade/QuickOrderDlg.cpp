#include "trade/QuickOrderDlg.h"

#include <QKeyEvent>
#include <QPainter>

#include "client/ApiReply.h"
#include "controls/TitleBar.h"
#include "platform/Bitmaps.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"

namespace trade {
namespace {

const QColor kGround(240, 240, 240);
constexpr int kLabelLeft = 5;
constexpr int kDivider = 70;

// A rectangle given by its edges, right and bottom outside.
using platform::edges;

QFont rowFont() { return platform::font(QStringLiteral("宋体"), 15); }

} // namespace

QuickOrderDlg::QuickOrderDlg(QWidget* parent, const Layout& layout)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_layout(layout)
    , m_entry(new OrderEntry(this, layout.entry))
    , m_titleBar(nullptr)
{
    setAttribute(Qt::WA_DeleteOnClose); // closing destroys it; the next use makes a new one
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(m_layout.title);
    setGeometry(kLeft, kTop, kWidth, kHeight);

    m_titleBar = new controls::TitleBar(m_layout.title, {}, this);
    m_titleBar->addCloseButton(m_layout.closeId);
    connect(m_titleBar, &controls::TitleBar::closeClicked, this, &QWidget::close);

    CButtonBMP::Create(this, m_layout.leftButtonId, QString(),
                       {platform::bmp::QuickButton, platform::bmp::QuickButtonHover, platform::bmp::QuickButtonPressed},
                       edges(10, 228, 78, 251));
    CButtonBMP* order =
        CButtonBMP::Create(this, m_layout.orderButtonId, m_layout.orderCaption, m_layout.orderBitmaps,
                           edges(110, 228, 178, 251));
    order->setFont(rowFont());
    connect(order, &QAbstractButton::clicked, m_entry, &OrderEntry::placeOrder);
    connect(m_entry, &OrderEntry::orderSent, this, &QuickOrderDlg::orderSent);
}

OrderEntryLayout QuickOrderDlg::formLayout(const OrderKind& kind, int codeId, int priceId, int quantityId,
                                           const QRect& quantityField, int nameBoxTop)
{
    OrderEntryLayout layout;
    layout.kind = kind;
    layout.style = FormStyle::PopUp;
    layout.code = {codeId, edges(75, 45, 190, 65)};
    layout.price = {priceId, edges(75, 105, 190, 125)};
    layout.quantity = {quantityId, quantityField};
    layout.nameBox = {valueBox(nameBoxTop), Qt::AlignCenter};
    layout.timerInterval = 1000;
    return layout;
}

void QuickOrderDlg::prefill(const QString& code, const QString& price) { m_entry->prefill(code, price); }

void QuickOrderDlg::orderSent(const client::ApiReply& reply)
{
    if (reply.parsed && reply.success)
        close();
}

void QuickOrderDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    p.setFont(rowFont());
    p.setPen(m_layout.labelColour);
    for (const auto& [y, label] : m_layout.labels)
        p.drawText(QRect(kLabelLeft, y, kDivider - kLabelLeft, 20), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromUtf8(label));
    p.setPen(Qt::white);
    for (int y : m_layout.borders)
        p.drawLine(kLabelLeft, y, width() - 10, y);
    if (!m_layout.borders.empty())
        p.drawLine(kDivider, 40, kDivider, m_layout.borders.back());
    m_entry->paint(p, rowFont());
}

void QuickOrderDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
    else
        QWidget::mousePressEvent(event);
}

void QuickOrderDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (!event->isAutoRepeat())
            m_entry->placeOrder();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace trade
