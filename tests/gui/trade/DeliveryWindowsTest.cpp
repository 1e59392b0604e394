#include <filesystem>

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "session/Session.h"
#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/CButtonBMP.h"
#include "controls/CSkinEdit.h"
#include "controls/JListCtrl.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "platform/WorkArea.h"
#include "support/LoopbackServer.h"
#include "support/Widgets.h"
#include "trade/core/Submission.h"
#include "trade/low_Delivery_Application_Dlg.h"
#include "trade/low_Delivery_Query_Dlg.h"

using testsupport::child;
using testsupport::offeredFileName;
using testsupport::RecordedRequest;
using testsupport::renderIfAsked;
using testsupport::ScriptedReply;
using trade::DeliveryMode;
using Dlg = low_Delivery_Application_Dlg;

namespace {

constexpr const char* kHistory = R"({"success":"true","infor":[
    {"id":2,"stock_id":9160001,"add_date":1709629507,"method":"自提","amount":40,"status":0,"consignee":"",
     "address":"自提：Velmora仓储中心一号库"},
    {"id":1,"stock_id":9160002,"add_date":1709500000,"method":"邮寄","amount":20,"status":1,"consignee":"王小明",
     "address":"上海市黄浦区南京东路1号"}]})";

} // namespace

class DeliveryWindowsTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void refusalsComeInOrderAndSendNothing();
    void mailApplicationGoesOutInUtf8AndShowsTheServicesMessage();
    void pickupHidesTheMailFieldsButStillSendsAndTestsTheConsignee();
    void leavingTheCodeFieldShowsItsHolding();
    void applicationListKeepsItsRowsWhenThereAreNoRecords();
    void queryWindowListsAndExports();
    void enterNeitherAppliesNorBreaksTheAddressLine();

private:
    void fill(Dlg& window, const char* quantity, QDate date, const char* address, const char* consignee);

    const std::string m_host = testsupport::UniqueLoopbackAddress();
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    std::map<std::string, std::string> m_replies;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
};

void DeliveryWindowsTest::initTestCase()
{
    platform::setWorkArea(QRect(0, 0, 1920, 1040));
    client::Options o = client::defaultOptions();
    o.line0Host = m_host;
    o.pickupText = "Velmora仓储中心一号库（上海市浦东新区富特北路288号），服务电话400-820-9160";
    o.pickupAddress = "自提：Velmora仓储中心一号库";
    Session::current().setOptions(o);
    client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-delivery-gui-no-connect-file");
    UserRecord user;
    user.id = "100001";
    user.mobile = "13800138000";
    Session::current().setUserRecord(user);
    Session::current().setLoggedIn(true);
    Session::current().setLoggedIn(true);
    m_server = std::make_unique<testsupport::LoopbackServer>(m_host, client::kTradePort, [this](const RecordedRequest& r) {
        auto it = m_replies.find(r.path);
        return ScriptedReply{200, it == m_replies.end() ? std::string() : client::utf8ToWire(it->second)};
    });
}

void DeliveryWindowsTest::cleanupTestCase()
{
    m_server.reset();
    Session::current().resetForTest();
}

void DeliveryWindowsTest::init()
{
    m_replies.clear();
    m_boxes.reset(); // the old recorder's leaving would take the new one's place
    m_boxes = std::make_unique<platform::MessageBoxRecorder>();
}

void DeliveryWindowsTest::fill(Dlg& window, const char* quantity, QDate date, const char* address, const char* consignee)
{
    window.codeField()->setText(QStringLiteral("9160001"));
    window.quantityField()->setText(QString::fromUtf8(quantity));
    window.datePicker()->setDate(date);
    window.addressField()->setPlainText(QString::fromUtf8(address));
    window.consigneeField()->setText(QString::fromUtf8(consignee));
}

void DeliveryWindowsTest::refusalsComeInOrderAndSendNothing()
{
    Dlg window(nullptr);
    window.show();
    QCOMPARE(window.mode(), DeliveryMode::Mail);
    QCOMPARE(window.datePicker()->date(), QDate::currentDate());
    const QDate today = QDate::currentDate();
    struct Case
    {
        const char* quantity;
        QDate date;
        const char* address;
        const char* consignee;
        const char* refusal;
    };
    const Case cases[] = {
        {"30", today.addDays(-1), "1", "a1", "交割数量须是20的倍数"},
        {"40", today.addDays(-1), "1", "a1", "交割日期早于当前日期，请重新输入"},
        {"40", today, "1", "a1", "收货人区域不能含有数字！"},
        {"40", today, "12345", "王小明", "收货地址不能是纯数字！"},
        {"40", today, "", "王小明", "收货地址不能是纯数字！"},
    };
    auto* apply = child<CButtonBMP>(&window, Dlg::kApplyButton);
    for (const Case& c : cases) {
        fill(window, c.quantity, c.date, c.address, c.consignee);
        m_boxes->clear();
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList({QString::fromUtf8(c.refusal)}));
    }
    QCOMPARE(m_server->requestCount(), size_t(0));
}

void DeliveryWindowsTest::mailApplicationGoesOutInUtf8AndShowsTheServicesMessage()
{
    Dlg window(nullptr);
    window.show();
    fill(window, "40", QDate::currentDate().addDays(2), "上海市黄浦区南京东路1号", "王小明");
    m_replies["/api/v1/stock/delivery"] = R"({"success":"false","msg":"可交割数量不足"})";
    const size_t before = m_server->requestCount();
    QTest::mouseClick(child<CButtonBMP>(&window, Dlg::kApplyButton), Qt::LeftButton);
    QCOMPARE(m_server->requestCount(), before + 1); // the list is not reloaded here
    QCOMPARE(m_boxes->texts(), QStringList({QStringLiteral("可交割数量不足")}));

    const RecordedRequest sent = m_server->requests().back();
    QCOMPARE(sent.path, std::string("/api/v1/stock/delivery"));
    const client::VerifiedBody body = client::verifySignedBody(client::endpointInfo(client::Endpoint::Delivery), sent.body,
                                                               Session::current().options().signKey);
    QVERIFY2(body.ok, body.error.c_str());
    QCOMPARE(body.params.at("address"), std::string("上海市黄浦区南京东路1号"));
    QCOMPARE(body.params.at("consignee"), std::string("王小明"));
    QCOMPARE(body.params.at("method"), std::string("邮寄"));
    QCOMPARE(body.params.at("contact"), std::string("13800138000"));
    QCOMPARE(body.params.at("id"), std::string("100001"));
    QCOMPARE(body.params.at("amount"), std::string("40"));
    QCOMPARE(body.params.at("add_date"), QDate::currentDate().addDays(2).toString(QStringLiteral("yyyy-MM-dd")).toStdString());
    QVERIFY(sent.body.find("\"method\" : \"邮寄\"") != std::string::npos); // UTF-8 bytes on the wire

    // A reply that does not parse leaves the outcome unknown, and says so.
    m_replies["/api/v1/stock/delivery"] = "";
    m_boxes->clear();
    window.apply();
    QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kRequestUnanswered)});
}

void DeliveryWindowsTest::pickupHidesTheMailFieldsButStillSendsAndTestsTheConsignee()
{
    Dlg window(nullptr);
    window.show();
    fill(window, "20", QDate::currentDate(), "", "张三");
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(240, 14)); // the pickup tab
    QCOMPARE(window.mode(), DeliveryMode::Pickup);
    QVERIFY(!window.addressField()->isVisible());
    QVERIFY(!window.consigneeField()->isVisible());
    renderIfAsked(window, "delivery-pickup");

    m_replies["/api/v1/stock/delivery"] = R"({"success":"true","msg":"交割申请已提交"})";
    window.apply();
    QCOMPARE(m_boxes->texts(), QStringList({QStringLiteral("交割申请已提交")}));
    const client::VerifiedBody body = client::verifySignedBody(
        client::endpointInfo(client::Endpoint::Delivery), m_server->requests().back().body, Session::current().options().signKey);
    QVERIFY2(body.ok, body.error.c_str());
    QCOMPARE(body.params.at("method"), std::string("自提"));
    QCOMPARE(body.params.at("address"), Session::current().options().pickupAddress);
    QCOMPARE(body.params.at("consignee"), std::string("张三"));

    // Hidden, the consignee is still tested.
    const size_t sent = m_server->requestCount();
    window.consigneeField()->setText(QStringLiteral("张三3"));
    m_boxes->clear();
    window.apply();
    QCOMPARE(m_boxes->texts(), QStringList({QStringLiteral("收货人区域不能含有数字！")}));
    QCOMPARE(m_server->requestCount(), sent);

    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(80, 14)); // back to mail
    QCOMPARE(window.mode(), DeliveryMode::Mail);
    QVERIFY(window.addressField()->isVisible());
}

void DeliveryWindowsTest::leavingTheCodeFieldShowsItsHolding()
{
    Dlg window(nullptr);
    window.show();
    m_replies["/api/v1/customer/item"] = R"({"success":"true","infor":{"cash":{},"stock":[
        {"stock_id":9160002,"amount_usable":200},{"stock_id":9160001,"amount_usable":1980}]}})";
    const size_t before = m_server->requestCount();
    window.codeField()->setText(QStringLiteral("9160001"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(window.codeField(), &out);
    QCOMPARE(m_server->requestCount(), before + 1);
    QCOMPARE(window.holdingText(), QStringLiteral("1980"));

    window.codeField()->setText(QStringLiteral("9160007"));
    QApplication::sendEvent(window.codeField(), &out);
    QCOMPARE(window.holdingText(), QString());

    window.codeField()->setText(QStringLiteral("9160002"));
    QApplication::sendEvent(window.codeField(), &out);
    QCOMPARE(window.holdingText(), QStringLiteral("200"));
    m_replies["/api/v1/customer/item"] = R"({"success":"false","msg":"账户不存在"})";
    QApplication::sendEvent(window.codeField(), &out);
    QCOMPARE(window.holdingText(), QString());

    // Neither another window taking the focus nor an empty code asks anything.
    const size_t asked = m_server->requestCount();
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(window.codeField(), &away);
    QCOMPARE(m_server->requestCount(), asked);
    window.codeField()->clear();
    QApplication::sendEvent(window.codeField(), &out);
    QCOMPARE(m_server->requestCount(), asked);
    QVERIFY(m_boxes->calls().empty());
}

void DeliveryWindowsTest::applicationListKeepsItsRowsWhenThereAreNoRecords()
{
    Dlg window(nullptr);
    window.show();
    JListCtrl& list = *window.list();
    QCOMPARE(list.objectName(), QStringLiteral("1120"));
    QCOMPARE(list.columnWidth(7), 370);
    m_replies["/api/v1/delivery/history"] = kHistory;
    window.refresh();
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.cellText(0, 3), QStringLiteral("自提"));
    QCOMPARE(list.cellText(0, 5), QStringLiteral("已申请交割"));
    QCOMPARE(list.cellText(1, 5), QStringLiteral("已交割完成"));
    fill(window, "40", QDate::currentDate(), "上海市黄浦区南京东路1号", "王小明");
    renderIfAsked(window, "delivery-mail");

    m_replies["/api/v1/delivery/history"] = R"({"success":"false","msg":"无记录"})";
    window.refresh();
    QCOMPARE(m_boxes->texts(), QStringList({QStringLiteral("无交割记录！")}));
    QCOMPARE(list.rowCount(), 2);
    m_replies["/api/v1/delivery/history"] = "not json";
    m_boxes->clear();
    window.refresh();
    QVERIFY(m_boxes->calls().empty());
    QCOMPARE(list.rowCount(), 2);

    // The panel empties the four fields on each choice; the reset button does the same.
    window.clearInputs();
    QVERIFY(window.codeField()->text().isEmpty());
    QVERIFY(window.quantityField()->text().isEmpty());
    QVERIFY(window.addressField()->toPlainText().isEmpty());
    QVERIFY(window.consigneeField()->text().isEmpty());
    fill(window, "40", QDate::currentDate(), "x", "y");
    QTest::mouseClick(child<CButtonBMP>(&window, Dlg::kResetButton), Qt::LeftButton);
    QVERIFY(window.quantityField()->text().isEmpty());
    QCOMPARE(list.rowCount(), 2);
}

void DeliveryWindowsTest::queryWindowListsAndExports()
{
    low_Delivery_Query_Dlg window(nullptr);
    window.show();
    JListCtrl& list = *window.list();
    QCOMPARE(list.objectName(), QStringLiteral("1132"));
    QCOMPARE(list.columnWidth(5), 110);
    QCOMPARE(list.columnWidth(7), 870);
    QVERIFY(list.geometry().bottom() < window.height()); // the list ends inside the window
    m_replies["/api/v1/delivery/history"] = kHistory;
    window.refresh();
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.cellText(1, 6), QStringLiteral("王小明"));
    renderIfAsked(window, "delivery-query");

    QCOMPARE(offeredFileName(child<CButtonBMP>(&window, low_Delivery_Query_Dlg::kExportButton)),
             QStringLiteral("交割订单.txt"));

    m_replies["/api/v1/delivery/history"] = R"({"success":"false"})";
    window.refresh();
    QCOMPARE(m_boxes->texts(), QStringList({QStringLiteral("无交割记录！")}));
    QCOMPARE(list.rowCount(), 2);
}

void DeliveryWindowsTest::enterNeitherAppliesNorBreaksTheAddressLine()
{
    Dlg window(nullptr);
    window.show();
    QApplication::setActiveWindow(&window);
    fill(window, "40", QDate::currentDate(), "", "王小明");
    window.addressField()->setFocus();
    QTest::keyClicks(window.addressField(), QStringLiteral("abc"));
    QTest::keyClick(window.addressField(), Qt::Key_Return);
    QTest::keyClicks(window.addressField(), QStringLiteral("def"));
    QCOMPARE(window.addressField()->toPlainText(), QStringLiteral("abcdef"));
    QTest::keyClick(window.codeField(), Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
    QVERIFY(m_boxes->calls().empty());
    // Code and quantity take digits only.
    window.quantityField()->clear();
    QTest::keyClicks(window.quantityField(), QStringLiteral("4a0"));
    QCOMPARE(window.quantityField()->text(), QStringLiteral("40"));
}

QTEST_MAIN(DeliveryWindowsTest)
#include "DeliveryWindowsTest.moc"
