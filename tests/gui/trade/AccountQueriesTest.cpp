#include <cstdlib>
#include <ctime>
#include <filesystem>

#include <QDateEdit>
#include <QTest>

#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/CButtonBMP.h"
#include "controls/JListCtrl.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "platform/WorkArea.h"
#include "support/LoopbackServer.h"
#include "support/Widgets.h"
#include "support/Pixels.h"
#include "support/SignedIn.h"
#include "trade/core/HistoryDates.h"
#include "trade/low_Financial_Position_Dlg.h"
#include "trade/low_Histor_Transaction_Dlg.h"
#include "trade/low_Today_order_Dlg.h"
#include "trade/low_Today_transaction_Dlg.h"
#include "session/Session.h"

using testsupport::child;
using testsupport::offeredFileName;
using testsupport::RecordedRequest;
using testsupport::renderIfAsked;
using testsupport::ScriptedReply;

namespace {

QStringList row(const JListCtrl& list, int r)
{
    QStringList cells;
    for (int c = 0; c < list.columnCount(); ++c)
        cells << list.cellText(r, c);
    return cells;
}

constexpr const char* kCustomer = R"({"success":"true","msg":"持仓","infor":{"cash":{"bankroll":500000,
    "bankroll_usable":"428765.5","total":570765.5,"stock_fee":70000},"stock":[
    {"stock_id":9160001,"name":"Tolmere小酒窖","total":2000,"amount_freeze":20,"amount_usable":1980,"costprice":35,
     "latest":35.12,"stock_value":70240,"profits_per":0.34},
    {"stock_id":9160002,"name":"波尔多干红","total":200,"amount_freeze":0,"amount_usable":200,"costprice":120,
     "latest":118.5,"stock_value":23700,"profits_per":-1.25}]}})";

// Three orders at 09:05:07 UTC: a buy, a sell and one of direction 2.
constexpr const char* kOrders = R"({"success":"true","infor":[
    {"id":11,"stock_id":9160001,"name":"Tolmere小酒窖","direction":0,"commission_price":35.1,"commission_amount":100,
     "remain":100,"add_time":1709629507,"state":0},
    {"id":12,"stock_id":9160001,"name":"Tolmere小酒窖","direction":1,"commission_price":36,"commission_amount":50,
     "remain":0,"add_time":1709629507,"state":0},
    {"id":13,"stock_id":9160002,"name":"波尔多干红","direction":2,"commission_price":120,"commission_amount":10,
     "remain":10,"add_time":1709629507,"state":1}]})";

constexpr const char* kTrades = R"({"success":"true","infor":[
    {"trade_time":1709629507,"stock_id":9160001,"name":"Tolmere小酒窖","deal_price":35.12,"dealed_amount":20,
     "direction":0,"dealed_value":702.4,"order_price":35.2,"order_amount":20,"trade_no":501,"commission":2.1},
    {"trade_time":1709629507,"stock_id":9160001,"name":"Tolmere小酒窖","deal_price":35.5,"dealed_amount":10,
     "direction":2,"dealed_value":355,"order_price":35.5,"order_amount":10,"trade_no":502,"commission":1.06}]})";

} // namespace

class AccountQueriesTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void fundsWindowFillsBothListsOnlyWhenTheReplyCarriesCash();
    void todaysOrdersShowUnpaddedTimesAndNoDirectionForOtherValues();
    void todaysTradesEmptyWhenTheServiceRefuses();
    void tradeHistoryIsQueriedOnlyByItsButton();

private:
    std::string reply(const std::string& path) const;

    const std::string m_host = testsupport::UniqueLoopbackAddress();
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    std::map<std::string, std::string> m_replies; // by path
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
};

std::string AccountQueriesTest::reply(const std::string& path) const
{
    auto it = m_replies.find(path);
    return it == m_replies.end() ? std::string() : it->second;
}

void AccountQueriesTest::initTestCase()
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    platform::setWorkArea(QRect(0, 0, 1920, 1040));
    client::Options o = client::defaultOptions();
    o.line0Host = m_host;
    Session::current().setOptions(o);
    client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-account-gui-no-connect-file");
    testsupport::logInAs("100001");
    m_server = std::make_unique<testsupport::LoopbackServer>(
        m_host, client::kTradePort,
        [this](const RecordedRequest& r) { return ScriptedReply{200, client::utf8ToWire(reply(r.path))}; });
}

void AccountQueriesTest::cleanupTestCase()
{
    m_server.reset();
    Session::current().resetForTest();
}

void AccountQueriesTest::init()
{
    m_replies.clear();
    m_boxes.reset(); // the old recorder's leaving would take the new one's place
    m_boxes = std::make_unique<platform::MessageBoxRecorder>();
}

void AccountQueriesTest::fundsWindowFillsBothListsOnlyWhenTheReplyCarriesCash()
{
    low_Financial_Position_Dlg window(nullptr);
    window.show();
    JListCtrl& funds = *window.fundsList();
    JListCtrl& positions = *window.positionsList();
    QCOMPARE(funds.objectName(), QStringLiteral("1146"));
    QCOMPARE(positions.objectName(), QStringLiteral("1134"));
    QCOMPARE(funds.columnCaption(5), QStringLiteral("市值"));
    QCOMPARE(positions.columnCaption(3), QStringLiteral("产品数量"));

    m_replies["/api/v1/customer/item"] = kCustomer;
    const size_t before = m_server->requestCount();
    QTest::mouseClick(child<CButtonBMP>(&window, low_Financial_Position_Dlg::kQueryButton), Qt::LeftButton);
    QCOMPARE(m_server->requestCount(), before + 1);
    QCOMPARE(m_server->requests().back().path, std::string("/api/v1/customer/item"));
    QCOMPARE(funds.rowCount(), 1);
    QCOMPARE(row(funds, 0),
             QStringList({"1", "人民币", "500000.00", "428765.50", "570765.50", "70000.00"}));
    QCOMPARE(positions.rowCount(), 2);
    QCOMPARE(row(positions, 1), QStringList({"2", "9160002", "波尔多干红", "200", "0", "200", "120.00", "118.50",
                                             "23700.00", "-1.25"}));
    renderIfAsked(window, "funds");
    // The window's own grey, outside the lists.
    const QImage image = window.grab().toImage();
    QCOMPARE(image.pixelColor(window.width() - 20, 60), low_Financial_Position_Dlg::kGround);

    // Without cash neither list changes, nor when the reply does not parse.
    for (const char* text : {R"({"success":"true","infor":{"cash":null,"stock":[]}})",
                             R"({"success":"true","infor":{"stock":[]}})", R"({"success":"true","infor":null})",
                             "<html>502</html>"}) {
        m_replies["/api/v1/customer/item"] = text;
        window.refresh();
        QCOMPARE(funds.rowCount(), 1);
        QCOMPARE(positions.rowCount(), 2);
        QCOMPARE(funds.cellText(0, 2), QStringLiteral("500000.00"));
    }
    // Cash without positions empties the positions.
    m_replies["/api/v1/customer/item"] = R"({"success":"true","infor":{"cash":{"bankroll":1500}}})";
    window.refresh();
    QCOMPARE(funds.cellText(0, 2), QStringLiteral("1500.00"));
    QCOMPARE(positions.rowCount(), 0);
    QVERIFY(m_boxes->calls().empty());
}

void AccountQueriesTest::todaysOrdersShowUnpaddedTimesAndNoDirectionForOtherValues()
{
    low_Today_order_Dlg window(nullptr);
    window.show();
    JListCtrl& list = *window.list();
    m_replies["/api/v1/order/today"] = kOrders;
    window.refresh();
    QCOMPARE(list.rowCount(), 3);
    QCOMPARE(row(list, 0), QStringList({"1", "11", "9:5:7", "未撤单", "9160001", "Tolmere小酒窖", "买", "35.10", "100"}));
    QCOMPARE(list.cellText(1, 3), QStringLiteral("已成交"));
    QCOMPARE(list.cellText(2, 3), QStringLiteral("已撤单"));
    QCOMPARE(list.cellText(2, 6), QString());
    QCOMPARE(list.cellColour(0, 8), QColor(233, 39, 76));
    QCOMPARE(list.cellColour(1, 8), QColor(16, 16, 16));
    renderIfAsked(window, "today-orders");

    // The query button asks again; the export offers the window's own file name.
    const size_t before = m_server->requestCount();
    QTest::mouseClick(child<CButtonBMP>(&window, low_Today_order_Dlg::kQueryButton), Qt::LeftButton);
    QCOMPARE(m_server->requestCount(), before + 1);
    QCOMPARE(offeredFileName(child<CButtonBMP>(&window, low_Today_order_Dlg::kExportButton)),
             QStringLiteral("当日订单.txt"));
}

void AccountQueriesTest::todaysTradesEmptyWhenTheServiceRefuses()
{
    low_Today_transaction_Dlg window(nullptr);
    window.show();
    JListCtrl& list = *window.list();
    QCOMPARE(list.objectName(), QStringLiteral("1148"));
    m_replies["/api/v1/trade/today"] = kTrades;
    window.refresh();
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(row(list, 0), QStringList({"1", "2024/3/5", "09:05:07", "9160001", "Tolmere小酒窖", "35.12", "20", "买",
                                        "702.40", "35.20", "20", "2.10", "501"}));
    QCOMPARE(list.cellText(1, 7), QStringLiteral("卖")); // direction 2 is a sell here
    renderIfAsked(window, "today-trades");

    // The export button stays whole inside the window.
    CButtonBMP* save = child<CButtonBMP>(&window, low_Today_transaction_Dlg::kExportButton);
    QVERIFY(window.rect().contains(save->geometry()));
    QCOMPARE(offeredFileName(save), QStringLiteral("当日成交.txt"));

    m_replies["/api/v1/trade/today"] = R"({"success":"false","msg":"no","infor":[{"trade_no":1}]})";
    window.refresh();
    QCOMPARE(list.rowCount(), 0);
    QVERIFY(m_boxes->calls().empty());
}

void AccountQueriesTest::tradeHistoryIsQueriedOnlyByItsButton()
{
    low_Histor_Transaction_Dlg window(nullptr);
    window.show();
    const QDate today = QDate::currentDate();
    QCOMPARE(window.endPicker()->date(), today);
    QCOMPARE(window.startPicker()->date(), trade::historyStartDate(today));
    QCOMPARE(window.list()->columnWidth(1), 110);
    QCOMPARE(window.list()->columnCaption(11), QStringLiteral("成交编号"));

    // The panel's choice and refresh ask nothing of this window.
    m_replies["/api/v1/trade/history"] = kTrades;
    const size_t before = m_server->requestCount();
    window.refresh();
    window.clearInputs();
    QCOMPARE(m_server->requestCount(), before);
    QCOMPARE(window.list()->rowCount(), 0);

    // A future end date goes out as today, unpadded, and the picker moves back to today.
    const QDate start(2024, 1, 5);
    window.startPicker()->setDate(start);
    window.endPicker()->setDate(today.addDays(40));
    QTest::mouseClick(child<CButtonBMP>(&window, low_Histor_Transaction_Dlg::kQueryButton), Qt::LeftButton);
    QCOMPARE(m_server->requestCount(), before + 1);
    const RecordedRequest sent = m_server->requests().back();
    QCOMPARE(sent.path, std::string("/api/v1/trade/history"));
    const std::string todayText =
        QStringLiteral("%1-%2-%3").arg(today.year()).arg(today.month()).arg(today.day()).toStdString();
    QVERIFY2(sent.body.find("\"end_date\" : \"" + todayText + "\"") != std::string::npos, sent.body.c_str());
    QVERIFY2(sent.body.find("\"start_date\" : \"2024-01-05\"") != std::string::npos, sent.body.c_str());
    QCOMPARE(window.endPicker()->date(), today);
    QCOMPARE(window.startPicker()->date(), start);
    QCOMPARE(window.list()->rowCount(), 2);
    QCOMPARE(window.list()->cellText(0, 1), QStringLiteral("2024/03/05"));
    QCOMPARE(window.list()->cellText(0, 11), QStringLiteral("501"));
    QCOMPARE(window.list()->cellText(0, 12), QStringLiteral("2.10"));
    renderIfAsked(window, "trade-history");

    // Enter in the window presses nothing.
    QTest::keyClick(&window, Qt::Key_Return);
    QCOMPARE(m_server->requestCount(), before + 1);
}

QTEST_MAIN(AccountQueriesTest)
#include "AccountQueriesTest.moc"
