#include "trade/low_change_message_dlg.h"

#include <QPainter>

#include "session/Session.h"
#include "controls/CButtonBMP.h"
#include "controls/CSkinEdit.h"
#include "platform/Fonts.h"
#include "trade/AccountForms.h"
#include "trade/Submit.h"
#include "trade/WindowLook.h"

namespace {

using Field = low_change_message_dlg::Field;

struct EditPlace
{
    Field field;
    int id;
    QRect rect;
};

constexpr int kLeftLabel = 15;
constexpr QRect kFrame(5, 10, 640 - 5, 280 - 10);
constexpr int kRightLabel = 245;

const EditPlace kEdits[] = {
    {Field::Name, low_change_message_dlg::kNameEdit, QRect(125, 35, 110, 20)},
    {Field::Email, low_change_message_dlg::kEmailEdit, QRect(355, 35, 220, 20)},
    {Field::PersonalId, low_change_message_dlg::kPersonalIdEdit, QRect(355, 65, 220, 20)},
    {Field::Address, low_change_message_dlg::kAddressEdit, QRect(125, 95, 500, 20)},
    {Field::Phone, low_change_message_dlg::kPhoneEdit, QRect(125, 125, 110, 20)},
    {Field::Mobile, low_change_message_dlg::kMobileEdit, QRect(355, 125, 220, 20)},
    {Field::ContractAddress, low_change_message_dlg::kContractAddressEdit, QRect(125, 185, 500, 20)},
    {Field::Account, low_change_message_dlg::kAccountEdit, QRect(127, 215, 240, 20)},
};

struct Label
{
    int x;
    int y;
    const char* text;
};

const Label kLabels[] = {
    {kLeftLabel, 35, "客户姓名："},   {kRightLabel, 35, "电子邮箱："},
    {kLeftLabel, 65, "证件类型：   身份证"}, {kRightLabel, 65, "证件号码："},
    {kLeftLabel, 95, "身份证地址："}, {kLeftLabel, 125, "电话号码："},
    {kRightLabel, 125, "移动电话："}, {kLeftLabel, 185, "联系地址："},
    {kLeftLabel, 215, "建设银行卡号："},
};

std::string textOf(const CSkinEdit* edit) { return edit->text().toStdString(); }

} // namespace

low_change_message_dlg::low_change_message_dlg(QWidget* parent)
    : trade::PanelWindow(parent)
{
    trade::setUpHostedWindow(*this, "low_change_message_dlg");
    const QFont font = platform::font(QStringLiteral("宋体"), 14);
    for (const EditPlace& place : kEdits) {
        auto* edit = new CSkinEdit(this);
        edit->setObjectName(QString::number(place.id));
        edit->setGeometry(place.rect);
        edit->setFont(font);
        m_edits[size_t(place.field)] = edit;
    }
    if (Session::current().userRecord().is_update == 1) {
        showRecord();
        return;
    }
    m_save = trade::makeButton(this, kSaveButton, QStringLiteral("保存"), QRect(400, 240, 60, 24));
    connect(m_save, &CButtonBMP::clicked, this, &low_change_message_dlg::save);
}

trade::DetailsForm low_change_message_dlg::form() const
{
    return {textOf(edit(Field::Name)),  textOf(edit(Field::Email)),  textOf(edit(Field::PersonalId)),
            textOf(edit(Field::Address)), textOf(edit(Field::Phone)), textOf(edit(Field::Mobile)),
            textOf(edit(Field::ContractAddress)), textOf(edit(Field::Account))};
}

void low_change_message_dlg::save()
{
    if (m_readOnly)
        return;
    const trade::DetailsForm details = form();
    trade::Submission submission;
    submission.refusal = trade::checkDetails(details);
    submission.question = trade::detailsConfirmation(details).toStdString();
    submission.endpoint = client::Endpoint::UpdateInfo;
    submission.params = trade::detailsParams(details, Session::current().userId());
    submission.trace = client::TraceLines::requestBody("更改信息\n");
    submission.successText = trade::kDetailsUpdated;
    trade::submit(this, submission, [this, details](const client::ApiReply& reply) {
        if (!reply.success)
            return; // every box keeps what was typed
        Session::current().setUserRecord(trade::withDetails(Session::current().userRecord(), details));
        showRecord();
    });
}

void low_change_message_dlg::showRecord()
{
    const trade::DetailsForm record = trade::detailsOf(Session::current().userRecord());
    const std::string* values[kFieldCount] = {&record.name,  &record.email,  &record.personalId,
                                              &record.address, &record.phone, &record.mobile,
                                              &record.contractAddress, &record.account};
    for (int i = 0; i < kFieldCount; ++i) {
        m_edits[size_t(i)]->setText(QString::fromStdString(*values[i]));
        m_edits[size_t(i)]->setCursorPosition(0);
        m_edits[size_t(i)]->setEnabled(false);
    }
    if (m_save)
        m_save->hide();
    m_readOnly = true;
    update();
}

void low_change_message_dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), trade::kWindowGround);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(trade::kFrameColour);
    p.setBrush(trade::kWindowGround);
    // The frame encloses the labels (from x 15) and the address edits (to x 625) with room
    // on both sides, instead of running through them.
    p.drawRoundedRect(QRectF(kFrame).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(16, 16, 16));
    p.setFont(trade::labelFont());
    const int ascent = p.fontMetrics().ascent();
    for (const Label& label : kLabels)
        p.drawText(QPoint(label.x, label.y + 2 + ascent), QString::fromUtf8(label.text));
    if (!m_readOnly)
        p.drawText(QPoint(kLeftLabel, 155 + ascent), QString::fromUtf8(trade::kTelephoneNote));
}
