#include "trade/low_Gold_Application_Dlg.h"

#include <QPainter>

#include "app/UserSession.h"
#include "client/Call.h"
#include "controls/CButtonBMP.h"
#include "controls/CMyEdit.h"
#include "platform/Bitmaps.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "trade/AccountForms.h"

namespace {

const QColor kGround(240, 240, 240);
const QColor kFrame(160, 160, 160);
const QColor kText(32, 32, 32);

} // namespace

low_Gold_Application_Dlg::low_Gold_Application_Dlg(QWidget* parent)
    : trade::PanelWindow(parent)
    , m_amount(new CMyEdit(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_amount->setObjectName(QString::number(kAmountEdit));
    m_amount->setGeometry(QRect(130, 95, 110, 25));
    m_amount->setFont(platform::font(QStringLiteral("宋体"), 15));
    m_submit = CButtonBMP::Create(
        this, kSubmitButton, QStringLiteral("提交"),
        {platform::bmp::WithdrawButton, platform::bmp::WithdrawButtonHover, platform::bmp::WithdrawButtonPressed},
        QRect(180, 135, 70, 24));
    m_submit->setFont(platform::font(QStringLiteral("宋体"), 14));
    connect(m_submit, &CButtonBMP::clicked, this, &low_Gold_Application_Dlg::withdraw);
}

void low_Gold_Application_Dlg::withdraw()
{
    if (platform::messageBox(this, QString::fromUtf8(trade::kConfirmWithdrawal), platform::MsgButtons::YesNo,
                             platform::MsgIcon::Question)
        != platform::MsgResult::Yes)
        return;
    const client::ApiReply reply =
        client::Call(client::Endpoint::AccountTransfer,
                     trade::withdrawalParams(m_amount->text().toStdString(), UserSession::instance().id()),
                     {"出金\n", "结束出金\n"});
    if (reply.parsed)
        platform::messageBox(this, QString::fromStdString(reply.msg));
}

void low_Gold_Application_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    p.setPen(kFrame);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(kText);
    p.setFont(platform::font(QStringLiteral("宋体"), 15));
    const int ascent = p.fontMetrics().ascent();
    // The card on file now: a details save changes it while this window lives.
    const QString card = QString::fromStdString(UserSession::instance().record().account);
    const struct
    {
        QPoint at;
        QString text;
    } labels[] = {
        {{5, 35}, QStringLiteral("出入金银行：")},
        {{135, 35}, QString::fromUtf8(trade::kBankName)},
        {{5, 65}, QStringLiteral("出入金账号：")},
        {{135, 65}, card},
        {{5, 95}, QStringLiteral("转账金额：")},
    };
    for (const auto& label : labels)
        p.drawText(label.at + QPoint(0, ascent), label.text);
}
