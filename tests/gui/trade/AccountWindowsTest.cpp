#include <filesystem>

#include <QDateEdit>
#include <QDir>
#include <QTest>

#include "session/Session.h"
#include "client/ApiSign.h"
#include "client/CodePage.h"
#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/CButtonBMP.h"
#include "controls/CMyEdit.h"
#include "controls/CSkinEdit.h"
#include "controls/JListCtrl.h"
#include "platform/Dialogs.h"
#include "support/LoopbackServer.h"
#include "support/Widgets.h"
#include "trade/AccountForms.h"
#include "trade/core/Submission.h"
#include "trade/low_Gold_Application_Dlg.h"
#include "trade/low_Gold_Status_Dlg.h"
#include "trade/low_HistoryofGold_Dlg.h"
#include "trade/low_change_message_dlg.h"
#include "trade/low_change_passd_dlg.h"

using platform::MsgResult;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;
using Field = low_change_message_dlg::Field;

namespace {

using testsupport::child;

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

bool has(const std::string& body, const std::string& member) { return body.find(member) != std::string::npos; }

} // namespace

// The withdrawal, cash history, details and password windows against a scripted service.
class AccountWindowsTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void withdrawalAsksThenSendsTheAmountAsTypedAndShowsTheAnswer();
    void statusWindowNeverAsksTheService();
    void historyQuerySendsItsDatesAndFillsTheList();
    void detailsEntryChecksInOrderAndNoSendsNothing();
    void detailsSavedTurnTheWindowReadOnlyAndFillTheRecord();
    void detailsRefusedLeaveTheFormAsTyped();
    void detailsOnFileAreShownReadOnly();
    void passwordChecksLocallyThenKeepsTheNewPassword();
    void passwordRefusedKeepsTheOldPassword();

private:
    // The service answers in the wire code page.
    void answer(const std::string& utf8) { m_reply = client::utf8ToWire(utf8); }
    // Requests of the running test.
    size_t sent() const { return m_server->requestCount() - m_before; }
    RecordedRequest last() const { return m_server->requests().back(); }

    const std::string m_host = testsupport::UniqueLoopbackAddress();
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    std::string m_reply;
    size_t m_before = 0;
};

void AccountWindowsTest::initTestCase()
{
    client::Options o = client::defaultOptions();
    o.line0Host = m_host;
    Session::current().setOptions(o);
    client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-account-gui-no-connect-file");
    m_server = std::make_unique<testsupport::LoopbackServer>(
        m_host, client::kTradePort, [this](const RecordedRequest&) { return ScriptedReply{200, m_reply}; });
}

void AccountWindowsTest::cleanupTestCase()
{
    m_server.reset();
    Session::current().resetForTest();
}

void AccountWindowsTest::init()
{
    Session::current().resetForTest();
    UserRecord r;
    r.id = "100001";
    r.password = "123456";
    r.account = "6217000010001234567";
    Session::current().setUserRecord(r);
    Session::current().setLoggedIn(true);
    m_reply.clear();
    m_before = m_server->requestCount();
}

void AccountWindowsTest::withdrawalAsksThenSendsTheAmountAsTypedAndShowsTheAnswer()
{
    low_Gold_Application_Dlg w(nullptr);
    w.resize(900, 311);
    w.show();
    auto* amount = child<CMyEdit>(&w, low_Gold_Application_Dlg::kAmountEdit);
    auto* submit = child<CButtonBMP>(&w, low_Gold_Application_Dlg::kSubmitButton);
    QVERIFY(amount && submit);
    amount->setFocus();
    QTest::keyClicks(amount, QStringLiteral("100.005"));
    QCOMPARE(amount->text(), QStringLiteral("100.00")); // no third decimal

    platform::MessageBoxRecorder boxes(MsgResult::No);
    QTest::mouseClick(submit, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList({u(trade::kConfirmWithdrawal)}));
    QVERIFY(boxes.calls()[0].buttons == platform::MsgButtons::YesNo);
    QVERIFY(boxes.calls()[0].icon == platform::MsgIcon::Question);
    QCOMPARE(sent(), size_t(0));

    // A refusal is shown in the same box as a success.
    boxes.clear();
    boxes.setAnswer(MsgResult::Yes);
    answer(R"({"success":"false","msg":"可用资金不足，出金失败"})");
    QTest::mouseClick(submit, Qt::LeftButton);
    QCOMPARE(sent(), size_t(1));
    QCOMPARE(QString::fromStdString(last().path), QStringLiteral("/api/v2/account/transfer"));
    QVERIFY(has(last().body, "\"cash\" : \"100.00\""));
    QVERIFY(has(last().body, "\"id\" : \"100001\""));
    QCOMPARE(boxes.texts(), QStringList({u(trade::kConfirmWithdrawal), u("可用资金不足，出金失败")}));

    boxes.clear();
    answer(R"({"success":"true","msg":"出金申请已提交，金额：100.00元"})");
    QTest::mouseClick(submit, Qt::LeftButton);
    QCOMPARE(boxes.texts().last(), u("出金申请已提交，金额：100.00元"));
    QCOMPARE(amount->text(), QStringLiteral("100.00")); // the box keeps its text

    // No answer came: the user is told the outcome is unknown. An empty amount goes out empty.
    boxes.clear();
    amount->clear();
    answer("");
    QTest::mouseClick(submit, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList({u(trade::kConfirmWithdrawal), u(trade::kRequestUnanswered)}));
    QVERIFY(has(last().body, "\"cash\" : \"\""));

    // Enter on a one-character amount leaves it as typed, and so it goes out.
    amount->setFocus();
    QTest::keyClick(amount, Qt::Key_5);
    QTest::keyClick(amount, Qt::Key_Return);
    QCOMPARE(amount->text(), QStringLiteral("5"));
    QTest::mouseClick(submit, Qt::LeftButton);
    QVERIFY(has(last().body, "\"cash\" : \"5\""));
}

void AccountWindowsTest::statusWindowNeverAsksTheService()
{
    low_Gold_Status_Dlg w(nullptr);
    w.resize(1660, 311);
    w.show();
    QCOMPARE(child<QDateEdit>(&w, low_Gold_Status_Dlg::kStartDate)->geometry().left(), 100);
    QCOMPARE(child<QDateEdit>(&w, low_Gold_Status_Dlg::kEndDate)->geometry().left(), 320);
    JListCtrl* list = w.list();
    QCOMPARE(list->columnCount(), 6);
    QCOMPARE(list->columnCaption(3), u("银行名称"));
    QCOMPARE(list->columnWidth(5), 70);
    platform::MessageBoxRecorder boxes;
    QTest::mouseClick(child<CButtonBMP>(&w, low_Gold_Status_Dlg::kQueryButton), Qt::LeftButton);
    QCOMPARE(sent(), size_t(0));
    QVERIFY(boxes.calls().empty());
    QCOMPARE(list->rowCount(), 0);
}

void AccountWindowsTest::historyQuerySendsItsDatesAndFillsTheList()
{
    low_HistoryofGold_Dlg w(nullptr);
    w.resize(1660, 311);
    w.show();
    const QDate today = QDate::currentDate();
    QCOMPARE(w.startPicker()->date(), today);
    QCOMPARE(w.endPicker()->date(), today);
    auto* query = child<CButtonBMP>(&w, low_HistoryofGold_Dlg::kQueryButton);
    QCOMPARE(query->geometry(), QRect(1660 - 75, 2, 60, 24));
    QVERIFY(w.list()->geometry().bottom() < w.height()); // the whole list stays in the window
    QCOMPARE(w.list()->columnCount(), 8);

    w.startPicker()->setDate(QDate(2024, 2, 5));
    w.endPicker()->setDate(today.addDays(10));
    answer(R"({"success":"true","infor":[
        {"account":6217000010001234567,"cash":1500,"add_time":1709629507,"direction":1,"status":0,"is_offline":0}]})");
    QTest::mouseClick(query, Qt::LeftButton);
    QCOMPARE(QString::fromStdString(last().path), QStringLiteral("/api/v2/cash/history"));
    QVERIFY(has(last().body, "\"start_date\" : \"2024-02-05\""));
    const std::string todayText = QString::asprintf("%d-%d-%d", today.year(), today.month(), today.day()).toStdString();
    QVERIFY2(has(last().body, "\"end_date\" : \"" + todayText + "\""), last().body.c_str());
    QCOMPARE(w.endPicker()->date(), today); // the picker moved
    QCOMPARE(w.startPicker()->date(), QDate(2024, 2, 5));
    QCOMPARE(w.list()->rowCount(), 1);
    QCOMPARE(w.list()->cellText(0, 1), QStringLiteral("6217000010001234567"));
    QCOMPARE(w.list()->cellText(0, 2), QStringLiteral("1500.00"));
    QCOMPARE(w.list()->cellText(0, 5), u("出金"));
}

namespace {

void fillDetails(low_change_message_dlg& w)
{
    w.edit(Field::Name)->setText(QStringLiteral("王小明"));
    w.edit(Field::Email)->setText(QStringLiteral("wang@example.com"));
    w.edit(Field::PersonalId)->setText(QStringLiteral("31010119900101123X"));
    w.edit(Field::Address)->setText(QStringLiteral("上海市静安区南京西路1号"));
    w.edit(Field::Phone)->setText(QStringLiteral("021-62881234"));
    w.edit(Field::Mobile)->setText(QStringLiteral("13900139000"));
    w.edit(Field::ContractAddress)->setText(QStringLiteral("上海市徐汇区漕溪北路88号"));
    w.edit(Field::Account)->setText(QStringLiteral("6217000010009876543"));
}

} // namespace

void AccountWindowsTest::detailsEntryChecksInOrderAndNoSendsNothing()
{
    low_change_message_dlg w(nullptr);
    w.resize(1660, 311);
    w.show();
    QVERIFY(!w.isReadOnly());
    CButtonBMP* save = child<CButtonBMP>(&w, low_change_message_dlg::kSaveButton);
    QVERIFY(save && save->isVisible());
    QVERIFY(w.edit(Field::Account)->isEnabled() && w.edit(Field::Account)->text().isEmpty());

    // A failing check says so and asks nothing.
    platform::MessageBoxRecorder boxes(MsgResult::No);
    fillDetails(w);
    w.edit(Field::Account)->setText(QStringLiteral("621700001000987654")); // 18
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList({u(trade::kCardNumberWrong)}));

    fillDetails(w);
    boxes.clear();
    w.save();
    QCOMPARE(boxes.calls().size(), size_t(1));
    QVERIFY(boxes.texts()[0].startsWith(u("请确认下列输入信息是否正确：\n\n姓名：王小明\n\n")));
    QVERIFY(boxes.calls()[0].buttons == platform::MsgButtons::YesNo);
    QCOMPARE(sent(), size_t(0)); // No sends nothing
    QVERIFY(w.edit(Field::Name)->isEnabled());
}

void AccountWindowsTest::detailsSavedTurnTheWindowReadOnlyAndFillTheRecord()
{
    low_change_message_dlg w(nullptr);
    w.show();
    fillDetails(w);
    platform::MessageBoxRecorder boxes(MsgResult::Yes);
    answer(R"({"success":"true","msg":"信息更新成功"})");
    QTest::mouseClick(w.saveButton(), Qt::LeftButton);
    QCOMPARE(sent(), size_t(1));
    const RecordedRequest request = last();
    QCOMPARE(QString::fromStdString(request.path), QStringLiteral("/api/v1/user/update_info"));
    // UTF-8 on the wire, signed over the UTF-8 parameter text.
    QVERIFY(has(request.body, "\"name\" : \"王小明\""));
    QVERIFY(has(request.body, "\"contract_address\" : \"上海市徐汇区漕溪北路88号\""));
    const client::VerifiedBody verified = client::verifySignedBody(client::endpointInfo(client::Endpoint::UpdateInfo),
                                                                   request.body, Session::current().options().signKey);
    QVERIFY2(verified.ok, verified.error.c_str());
    QCOMPARE(verified.params.at("id"), std::string("100001"));

    QCOMPARE(boxes.texts().last(), u(trade::kDetailsUpdated));
    const UserRecord record = Session::current().userRecord();
    QCOMPARE(record.name, std::string("王小明"));
    QCOMPARE(record.account, std::string("6217000010009876543"));
    QCOMPARE(record.mobile, std::string("13900139000"));
    QCOMPARE(record.password, std::string("123456"));
    QVERIFY(w.isReadOnly());
    QVERIFY(!w.saveButton()->isVisible());
    for (int i = 0; i < low_change_message_dlg::kFieldCount; ++i)
        QVERIFY(!w.edit(Field(i))->isEnabled());
    QCOMPARE(w.edit(Field::Address)->text(), QStringLiteral("上海市静安区南京西路1号"));

    // A details window made later shows the record on file.
    low_change_message_dlg later(nullptr);
    QVERIFY(later.isReadOnly());
    QCOMPARE(later.edit(Field::Name)->text(), QStringLiteral("王小明"));
}

void AccountWindowsTest::detailsRefusedLeaveTheFormAsTyped()
{
    low_change_message_dlg w(nullptr);
    w.show();
    fillDetails(w);
    platform::MessageBoxRecorder boxes(MsgResult::Yes);
    answer(R"({"success":"false","msg":"客户信息已登记，不能重复提交"})");
    w.save();
    QCOMPARE(boxes.texts().last(), u("客户信息已登记，不能重复提交"));
    QVERIFY(!w.isReadOnly());
    QVERIFY(w.edit(Field::Name)->isEnabled());
    QCOMPARE(w.edit(Field::Name)->text(), QStringLiteral("王小明"));
    QCOMPARE(Session::current().userRecord().name, std::string());

    boxes.clear();
    answer("");
    w.save();
    QCOMPARE(boxes.texts().last(), u(trade::kRequestUnanswered)); // after the question
    QCOMPARE(boxes.calls().size(), size_t(2));
    QVERIFY(!w.isReadOnly());
}

void AccountWindowsTest::detailsOnFileAreShownReadOnly()
{
    UserRecord r = Session::current().userRecord();
    r.is_update = 1;
    r.name = "林晓雨";
    r.contract_address = "北京市朝阳区酒仙桥路8号";
    Session::current().setUserRecord(r);
    low_change_message_dlg w(nullptr);
    QVERIFY(w.isReadOnly());
    QVERIFY(!w.saveButton());
    QVERIFY(!child<CButtonBMP>(&w, low_change_message_dlg::kSaveButton));
    QCOMPARE(w.edit(Field::Name)->text(), QStringLiteral("林晓雨"));
    QCOMPARE(w.edit(Field::Account)->text(), QStringLiteral("6217000010001234567"));
    QVERIFY(!w.edit(Field::ContractAddress)->isEnabled());
}

void AccountWindowsTest::passwordChecksLocallyThenKeepsTheNewPassword()
{
    low_change_passd_dlg w(nullptr);
    w.show();
    QVERIFY(w.oldPasswordEdit()->echoMode() == QLineEdit::Password);
    platform::MessageBoxRecorder boxes;

    // A failing check says so and sends nothing.
    w.oldPasswordEdit()->setText(QStringLiteral("123456"));
    w.newPasswordEdit()->setText(QStringLiteral("n3w"));
    w.confirmationEdit()->setText(QStringLiteral("n3W"));
    QTest::mouseClick(child<CButtonBMP>(&w, low_change_passd_dlg::kSaveButton), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList({u(trade::kNewPasswordsDiffer)}));
    QCOMPARE(sent(), size_t(0));

    w.confirmationEdit()->setText(QStringLiteral("n3w"));
    boxes.clear();
    answer(R"({"success":"true","msg":"密码修改成功"})");
    w.save();
    QCOMPARE(QString::fromStdString(last().path), QStringLiteral("/api/v1/user/update_passwd"));
    QVERIFY(has(last().body, "\"new_passwd\" : \"" + client::ApiSign("n3w") + "\""));
    QVERIFY(has(last().body, "\"old_passwd\" : \"" + client::ApiSign("123456") + "\""));
    QCOMPARE(boxes.texts(), QStringList({u(trade::kPasswordUpdated)}));
    QCOMPARE(w.newPasswordEdit()->text(), QStringLiteral("n3w")); // the boxes keep their text
    // The screen lock compares with the stored password: now the new one, and so does the next change.
    QCOMPARE(Session::current().password(), std::string("n3w"));
    boxes.clear();
    w.save();
    QCOMPARE(boxes.texts(), QStringList({u(trade::kOldPasswordWrong)}));
}

void AccountWindowsTest::passwordRefusedKeepsTheOldPassword()
{
    low_change_passd_dlg w(nullptr);
    w.oldPasswordEdit()->setText(QStringLiteral("123456"));
    platform::MessageBoxRecorder boxes;
    answer(R"({"success":"false","msg":"新密码不能为空"})");
    w.save(); // an empty new password with an empty confirmation goes out
    QCOMPARE(sent(), size_t(1));
    QCOMPARE(boxes.texts(), QStringList({u("新密码不能为空")}));
    QCOMPARE(Session::current().password(), std::string("123456"));
    boxes.clear();
    answer("not json");
    w.save();
    QCOMPARE(boxes.texts(), QStringList({u(trade::kRequestUnanswered)}));
    QCOMPARE(Session::current().password(), std::string("123456"));
}

QTEST_MAIN(AccountWindowsTest)
#include "AccountWindowsTest.moc"
