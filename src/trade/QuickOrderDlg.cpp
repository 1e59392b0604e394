#include "trade/QuickOrderDlg.h"

#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include "client/ApiReply.h"
#include "controls/CMyEdit.h"
#include "controls/CSkinEdit.h"
#include "controls/TitleBar.h"
#include "platform/Bitmaps.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"

namespace trade {
namespace {

const QColor kGround(240, 240, 240);
const QColor kValueText(48, 48, 48);
constexpr int kLabelLeft = 5;
constexpr int kDivider = 70;

// A rectangle given by its edges, right and bottom outside.
QRect edges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

bool isEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

QFont rowFont() { return platform::font(QStringLiteral("宋体"), 15); }

} // namespace

QuickOrderDlg::QuickOrderDlg(QWidget* parent, const Layout& layout)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_layout(layout)
    , m_titleBar(nullptr)
    , m_code(new CSkinEdit(this))
    , m_price(new CMyEdit(this))
    , m_quantity(new CSkinEdit(this))
{
    setAttribute(Qt::WA_DeleteOnClose); // closing destroys it; the next use makes a new one
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(m_layout.title);
    setGeometry(kLeft, kTop, kWidth, kHeight);

    m_titleBar = new controls::TitleBar(m_layout.title, {}, this);
    m_titleBar->addCloseButton(m_layout.closeId);
    connect(m_titleBar, &controls::TitleBar::closeClicked, this, &QWidget::close);

    const struct
    {
        QLineEdit* edit;
        int id;
        QRect rect;
    } fields[] = {{m_code, m_layout.codeId, edges(75, 45, 190, 65)},
                  {m_price, m_layout.priceId, edges(75, 105, 190, 125)},
                  {m_quantity, m_layout.quantityId, m_layout.quantityRect}};
    for (const auto& f : fields) {
        f.edit->setObjectName(QString::number(f.id));
        f.edit->setGeometry(f.rect);
        f.edit->setFocusPolicy(Qt::StrongFocus);
        f.edit->installEventFilter(this);
    }
    setTabOrder(m_code, m_price);
    setTabOrder(m_price, m_quantity);

    CButtonBMP::Create(this, m_layout.leftButtonId, QString(),
                       {platform::bmp::QuickButton, platform::bmp::QuickButtonHover, platform::bmp::QuickButtonPressed},
                       edges(10, 228, 78, 251));
    CButtonBMP* order =
        CButtonBMP::Create(this, m_layout.orderButtonId, m_layout.orderCaption, m_layout.orderBitmaps,
                           edges(110, 228, 178, 251));
    order->setFont(platform::font(QStringLiteral("宋体"), 15));
    connect(order, &QAbstractButton::clicked, this, &QuickOrderDlg::placeOrderNow);

    m_timer1.setInterval(1000);
    connect(&m_timer1, &QTimer::timeout, this, [this] { timerTick(); });
    m_timer1.start();
}

QLineEdit* QuickOrderDlg::codeField() const { return m_code; }
QLineEdit* QuickOrderDlg::priceField() const { return m_price; }
QLineEdit* QuickOrderDlg::quantityField() const { return m_quantity; }

QString QuickOrderDlg::boxText(int y) const
{
    const auto it = m_boxes.find(y);
    return it == m_boxes.end() ? QString() : it->second;
}

void QuickOrderDlg::setBoxText(int y, const QString& text)
{
    auto [it, added] = m_boxes.try_emplace(y, text);
    if (!added && it->second == text)
        return;
    it->second = text;
    update(kBoxLeft, y, kBoxWidth, kBoxHeight);
}

OrderForm QuickOrderDlg::form() const
{
    return {m_code->text().toStdString(), m_price->text().toStdString(), m_quantity->text().toStdString()};
}

void QuickOrderDlg::prefill(const QString& code, const QString& price)
{
    m_code->setText(code);
    m_price->setText(price);
    prefilled();
    activateWindow();
    m_quantity->setFocus(Qt::OtherFocusReason);
}

void QuickOrderDlg::placeOrderNow()
{
    // A second Enter while this order's boxes are up belongs to the boxes.
    if (m_placing)
        return;
    m_placing = true;
    placeOrder();
    m_placing = false;
}

void QuickOrderDlg::finishOrder(const client::ApiReply& reply)
{
    if (!reply.parsed)
        return;
    platform::messageBox(this, QString::fromStdString(reply.msg));
    if (reply.success)
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

    // Each value is drawn into a box of its own, then copied in one step; the box is drawn
    // at the screen's own resolution.
    const qreal ratio = devicePixelRatioF();
    QImage box(QSize(kBoxWidth, kBoxHeight) * ratio, QImage::Format_RGB32);
    box.setDevicePixelRatio(ratio);
    for (const auto& [y, text] : m_boxes) {
        box.fill(kGround);
        QPainter bp(&box);
        bp.setFont(rowFont());
        bp.setPen(kValueText);
        bp.drawText(QRect(0, 0, kBoxWidth, kBoxHeight), Qt::AlignCenter | Qt::TextWordWrap, text);
        bp.end();
        p.drawImage(kBoxLeft, y, box);
    }
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
    if (isEnter(event)) {
        event->accept();
        if (!event->isAutoRepeat())
            placeOrderNow();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool QuickOrderDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Enter is taken before a field sees it, so the order goes out with the text as typed
    // (the price field would otherwise turn a one-character price into "0").
    if (isEnter(event)) {
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            placeOrderNow();
        return true;
    }
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_code)
            codeLeft();
        else if (watched == m_price)
            priceLeft();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace trade
