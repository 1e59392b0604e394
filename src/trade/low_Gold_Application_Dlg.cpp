#include "trade/low_Gold_Application_Dlg.h"

#include <QPainter>

#include "session/Session.h"
#include "controls/CButtonBMP.h"
#include "controls/CMyEdit.h"
#include "trade/AccountForms.h"
#include "trade/Submit.h"
#include "trade/WindowLook.h"

low_Gold_Application_Dlg::low_Gold_Application_Dlg(QWidget* parent)
    : trade::PanelWindow(parent)
    , m_amount(new CMyEdit(this))
{
    trade::setUpHostedWindow(*this, "low_Gold_Application_Dlg");
    m_amount->setObjectName(QString::number(kAmountEdit));
    m_amount->setGeometry(QRect(130, 95, 110, 25));
    m_submit = trade::makeButton(this, kSubmitButton, QStringLiteral("提交"), QRect(180, 135, 70, 24));
    connect(m_submit, &CButtonBMP::clicked, this, &low_Gold_Application_Dlg::withdraw);
}

void low_Gold_Application_Dlg::withdraw()
{
    trade::Submission submission;
    submission.question = trade::kConfirmWithdrawal;
    submission.endpoint = client::Endpoint::AccountTransfer;
    submission.params = trade::withdrawalParams(m_amount->text().toStdString(), Session::current().userId());
    submission.trace = {"出金\n", "结束出金\n"};
    trade::submit(this, submission);
}

void low_Gold_Application_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    trade::paintGround(p, rect(), trade::kWindowGround);
    p.setPen(trade::kLabelColour);
    p.setFont(trade::labelFont());
    const int ascent = p.fontMetrics().ascent();
    // The card on file now: a details save changes it while this window lives.
    const QString card = QString::fromStdString(Session::current().userRecord().account);
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
