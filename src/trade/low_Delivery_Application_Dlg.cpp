#include "trade/low_Delivery_Application_Dlg.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>

#include "session/Session.h"
#include "client/Options.h"
#include "controls/CSkinEdit.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "platform/WorkArea.h"
#include "platform/Windows.h"
#include "trade/DatePickers.h"
#include "trade/Submit.h"
#include "trade/Trade.h"

using platform::edges;
using trade::DeliveryMode;

namespace {

const QColor kActiveTab{192, 192, 192};
const QColor kInactiveTab{160, 160, 160};
constexpr int kDividerX = 320;

CSkinEdit* makeField(QWidget* parent, int controlId, bool digitsOnly)
{
    auto* field = new CSkinEdit(parent);
    field->setObjectName(QString::number(controlId));
    if (digitsOnly)
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

void drawLabel(QPainter& p, int y, const char* text)
{
    p.drawText(QRect(6, y, 100, 20), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(text));
}

} // namespace

low_Delivery_Application_Dlg::low_Delivery_Application_Dlg(QWidget* parent)
    : trade::ListWindow(parent, "low_Delivery_Application_Dlg", trade::kWindowGround, -1)
    , m_code(makeField(this, kCodeField, true))
    , m_quantity(makeField(this, kQuantityField, true))
    , m_date(trade::makeDatePicker(this, kDatePicker, edges(110, 125, 260, 145), QDate::currentDate()))
    , m_address(new QPlainTextEdit(this))
    , m_consignee(makeField(this, kConsigneeField, false))
{
    m_code->setGeometry(edges(110, 35, 260, 55));
    m_quantity->setGeometry(edges(110, 95, 260, 115));
    m_address->setObjectName(QString::number(kAddressField));
    m_address->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_address->setTabChangesFocus(true);
    m_address->setGeometry(edges(110, 153, 260, 185));
    m_consignee->setGeometry(edges(110, 190, 260, 210));
    m_code->installEventFilter(this);
    m_address->installEventFilter(this);

    addButton(kApplyButton, QStringLiteral("申请"), [](QSize) { return edges(150, 250, 218, 278); },
              [this] { apply(); });
    // A second button that did nothing would only puzzle: it empties the form.
    addButton(kResetButton, QStringLiteral("重置"), [](QSize) { return edges(20, 250, 88, 278); },
              [this] { clearInputs(); });
    m_list = addList(kList, trade::deliveryList(false), [](QSize c) {
        const int screenBottom = platform::workArea().height() - 311;
        return edges(350, 33, c.width(), trade::listBottom(screenBottom, c.height()));
    });
}

void low_Delivery_Application_Dlg::refresh() { trade::refreshDeliveries(*m_list, trade::deliveryList(false), this); }

void low_Delivery_Application_Dlg::clearInputs()
{
    m_code->clear();
    m_quantity->clear();
    m_address->clear();
    m_consignee->clear();
    m_holding.clear();
    update();
}

void low_Delivery_Application_Dlg::setMode(DeliveryMode mode)
{
    m_mode = mode;
    m_address->setVisible(mode == DeliveryMode::Mail);
    m_consignee->setVisible(mode == DeliveryMode::Mail);
    update();
}

trade::DeliveryForm low_Delivery_Application_Dlg::form() const
{
    trade::DeliveryForm f;
    f.mode = m_mode;
    f.code = m_code->text().toStdString();
    f.quantity = m_quantity->text().toStdString();
    f.date = m_date->date();
    // The address travels and is listed as one line.
    f.address = m_mode == DeliveryMode::Mail
                    ? m_address->toPlainText().replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString()
                    : Session::current().options().pickupAddress;
    f.consignee = m_consignee->text().toStdString(); // hidden in pickup mode, still sent
    return f;
}

void low_Delivery_Application_Dlg::apply()
{
    const trade::DeliveryForm f = form();
    trade::Submission submission;
    submission.refusal = trade::checkDelivery(f, QDate::currentDate());
    submission.endpoint = client::Endpoint::Delivery;
    submission.params =
        trade::deliveryParams(f, Session::current().userId(), Session::current().userRecord().mobile);
    submission.trace = client::TraceLines::requestBody("\n交割申请\n", "\n自提请求\n");
    trade::submit(this, submission);
}

void low_Delivery_Application_Dlg::lookUpHolding()
{
    const QString code = m_code->text();
    if (code.isEmpty()) {
        m_holding.clear(); // nothing to ask about; never leave another code's holding standing
    } else {
        m_holding = trade::holdingText(client::Call(client::Endpoint::CustomerItem, trade::userParams()), code);
    }
    update(edges(85, 65, 205, 90));
}

bool low_Delivery_Application_Dlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_code && platform::leftByUser(event))
        lookUpHolding();
    if (watched == m_address && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true; // one line; Enter belongs to the window's rule
    }
    return trade::ListWindow::eventFilter(watched, event);
}

void low_Delivery_Application_Dlg::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && kMailTab.contains(at))
        setMode(DeliveryMode::Mail);
    else if (event->button() == Qt::LeftButton && kPickupTab.contains(at))
        setMode(DeliveryMode::Pickup);
    trade::ListWindow::mousePressEvent(event);
}

void low_Delivery_Application_Dlg::paintEvent(QPaintEvent* event)
{
    trade::ListWindow::paintEvent(event);
    QPainter p(this);
    p.setPen(trade::kFrameColour);
    p.drawLine(kDividerX, 0, kDividerX, height() - 1);
    p.setFont(trade::labelFont());
    paintTabs(p);
    paintForm(p);
}

void low_Delivery_Application_Dlg::paintTabs(QPainter& p) const
{
    for (const DeliveryMode tab : {DeliveryMode::Mail, DeliveryMode::Pickup}) {
        const QRect box = tab == DeliveryMode::Mail ? kMailTab : kPickupTab;
        p.fillRect(box, tab == m_mode ? kActiveTab : kInactiveTab);
        p.setPen(trade::kLabelColour);
        p.drawText(box, Qt::AlignCenter, QString::fromUtf8(trade::methodText(tab)));
    }
}

void low_Delivery_Application_Dlg::paintForm(QPainter& p) const
{
    p.setPen(trade::kLabelColour);
    drawLabel(p, 35, "产品代码：");
    drawLabel(p, 65, "持仓量：");
    drawLabel(p, 95, "交割数量：");
    drawLabel(p, 125, "交割日期：");
    if (m_mode == DeliveryMode::Mail) {
        drawLabel(p, 155, "邮寄地址：");
        drawLabel(p, 185, "收货人：");
    } else {
        drawLabel(p, 155, "自提地址：");
        p.drawText(QRect(105, 158, 200, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   QString::fromStdString(Session::current().options().pickupText));
    }
    drawLabel(p, 215, "联系方式：");
    p.drawText(QRect(85, 65, 120, 25), Qt::AlignLeft | Qt::AlignVCenter, m_holding);
    p.drawText(edges(105, 219, 225, 244), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(Session::current().userRecord().mobile));
}
