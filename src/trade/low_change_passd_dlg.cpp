#include "trade/low_change_passd_dlg.h"

#include <QPainter>

#include "session/Session.h"
#include "controls/CButtonBMP.h"
#include "controls/CSkinEdit.h"
#include "platform/Fonts.h"
#include "trade/AccountForms.h"
#include "trade/Submit.h"
#include "trade/WindowLook.h"

namespace {

struct Row
{
    int id;
    int y;
    const char* label;
};

const Row kRows[] = {
    {low_change_passd_dlg::kOldPassword, 65, "旧密码："},
    {low_change_passd_dlg::kNewPassword, 105, "新密码："},
    {low_change_passd_dlg::kConfirmation, 145, "确认新密码："},
};

} // namespace

low_change_passd_dlg::low_change_passd_dlg(QWidget* parent)
    : trade::PanelWindow(parent)
{
    trade::setUpHostedWindow(*this, "low_change_passd_dlg");
    CSkinEdit** edits[] = {&m_old, &m_new, &m_confirm};
    const QFont font = platform::font(QStringLiteral("宋体"), 14);
    for (int i = 0; i < 3; ++i) {
        auto* edit = new CSkinEdit(this);
        edit->setObjectName(QString::number(kRows[i].id));
        edit->setGeometry(QRect(115, kRows[i].y, 110, 20));
        edit->setFont(font);
        edit->setEchoMode(QLineEdit::Password);
        *edits[i] = edit;
    }
    m_save = trade::makeButton(this, kSaveButton, QStringLiteral("保存"), QRect(180, 200, 68, 28));
    connect(m_save, &CButtonBMP::clicked, this, &low_change_passd_dlg::save);
}

void low_change_passd_dlg::save()
{
    Session& session = Session::current();
    const trade::PasswordForm form{m_old->text().toStdString(), m_new->text().toStdString(),
                                   m_confirm->text().toStdString()};
    trade::Submission submission;
    submission.refusal = trade::checkPasswordChange(form, session.password());
    submission.endpoint = client::Endpoint::UpdatePasswd;
    submission.params = trade::passwordParams(form, session.userId());
    submission.trace = {"更改密码\n"};
    submission.successText = trade::kPasswordUpdated;
    trade::submit(this, submission, [&session, form](const client::ApiReply& reply) {
        // The lock and the next change compare against the new password from now on.
        if (reply.success)
            session.setPassword(form.newPassword);
    });
}

void low_change_passd_dlg::clearInputs()
{
    m_old->clear();
    m_new->clear();
    m_confirm->clear();
}

void low_change_passd_dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    trade::paintGround(p, rect(), trade::kWindowGround);
    p.setPen(trade::kLabelColour);
    p.setFont(trade::labelFont());
    const int ascent = p.fontMetrics().ascent();
    for (const Row& row : kRows)
        p.drawText(QPoint(20, row.y + 2 + ascent), QString::fromUtf8(row.label));
}
