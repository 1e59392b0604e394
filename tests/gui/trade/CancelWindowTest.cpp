#include <filesystem>
#include <map>
#include <mutex>

#include <QItemSelectionModel>
#include <QTest>

#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/JListCtrl.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "support/LoopbackServer.h"
#include "support/Pixels.h"
#include "support/Widgets.h"
#include "support/SignedIn.h"
#include "trade/core/Submission.h"
#include "trade/Lists.h"
#include "trade/low_deal_revoke_dlg.h"
#include "session/Session.h"

using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

// Today's orders as the service lists them: filled, cancelled and open ones mixed. Open:
// 11 (buy), 13 (sell, half traded), 14 (direction 2), 16 (buy).
const char* kTodaysOrders = R"({"success":"true","infor":[
    {"id":10,"stock_id":9160001,"name":"Tolmere","direction":0,"commission_price":12.5,"commission_amount":20,"remain":0,"add_time":1709629507,"state":0},
    {"id":11,"stock_id":9160001,"name":"Tolmere","direction":0,"commission_price":12.5,"commission_amount":20,"remain":20,"add_time":1709629507,"state":0},
    {"id":12,"stock_id":9160001,"name":"Tolmere","direction":1,"commission_price":13,"commission_amount":5,"remain":5,"add_time":1709629507,"state":1},
    {"id":13,"stock_id":9160002,"name":"Aubrac","direction":1,"commission_price":8.25,"commission_amount":30,"remain":12,"add_time":1709629507,"state":0},
    {"id":14,"stock_id":9160002,"name":"Aubrac","direction":2,"commission_price":8.1,"commission_amount":7,"remain":7,"add_time":1709629507,"state":0},
    {"id":15,"stock_id":9160001,"name":"Tolmere","direction":0,"commission_price":12,"commission_amount":3,"remain":0,"add_time":1709629507,"state":0},
    {"id":16,"stock_id":9160001,"name":"Tolmere","direction":0,"commission_price":11.9,"commission_amount":9,"remain":9,"add_time":1709629507,"state":0}]})";

using testsupport::child;

} // namespace

class CancelWindowTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void listsOnlyOpenOrdersNumberedAsListed();
    void selectedRowsAreCancelledOneByOneThenRefreshedOnce();
    void keysAreConsumedAndExportUsesItsOwnName();
    void orderNumbersPast32BitsAreCancelledAsThemselves();

private:
    std::vector<RecordedRequest> requestsTo(const std::string& path) const;
    void select(low_deal_revoke_dlg& window, std::initializer_list<int> rows);

    const std::string m_host = testsupport::UniqueLoopbackAddress();
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_replies; // by path
};

void CancelWindowTest::initTestCase()
{
    client::Options o = client::defaultOptions();
    o.line0Host = m_host;
    Session::current().setOptions(o);
    client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-cancel-gui-no-connect-file");
    testsupport::logInAs("100001");
    m_server = std::make_unique<testsupport::LoopbackServer>(
        m_host, client::kTradePort, [this](const RecordedRequest& r) {
            std::lock_guard lock(m_mutex);
            if (r.path == "/api/v1/order/repeal") {
                // The service's answer for each order number: 13 is refused, 16 garbled.
                if (r.body.find("\"id\" : 13,") != std::string::npos)
                    return ScriptedReply{200, client::utf8ToWire(R"({"success":"false","msg":"订单已成交，不能撤单"})")};
                if (r.body.find("\"id\" : 16,") != std::string::npos)
                    return ScriptedReply{502, "<html>bad gateway</html>"};
                return ScriptedReply{200, client::utf8ToWire(R"({"success":"true","msg":"撤单成功"})")};
            }
            return ScriptedReply{200, m_replies[r.path]};
        });
}

void CancelWindowTest::cleanupTestCase()
{
    m_server.reset();
    Session::current().resetForTest();
}

void CancelWindowTest::init()
{
    std::lock_guard lock(m_mutex);
    m_replies["/api/v1/order/today"] = kTodaysOrders;
}

std::vector<RecordedRequest> CancelWindowTest::requestsTo(const std::string& path) const
{
    std::vector<RecordedRequest> out;
    for (const RecordedRequest& r : m_server->requests()) {
        if (r.path == path)
            out.push_back(r);
    }
    return out;
}

void CancelWindowTest::select(low_deal_revoke_dlg& window, std::initializer_list<int> rows)
{
    JListCtrl* list = window.list();
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void CancelWindowTest::listsOnlyOpenOrdersNumberedAsListed()
{
    QWidget panel;
    panel.resize(1920, 340);
    auto* window = new low_deal_revoke_dlg(&panel);
    window->setGeometry(260, 28, 1660, 312); // where the trade panel puts it
    panel.show();
    window->show();

    // The three buttons keep the distances of a 1920-pixel screen from the window's right.
    QCOMPARE(child<QWidget>(window, low_deal_revoke_dlg::kCancelButton)->geometry(), QRect(1450, 2, 44, 24));
    QCOMPARE(child<QWidget>(window, low_deal_revoke_dlg::kRefreshButton)->geometry(), QRect(1504, 2, 44, 24));
    QCOMPARE(child<QWidget>(window, low_deal_revoke_dlg::kExportButton)->geometry(), QRect(1558, 2, 44, 24));
    JListCtrl* list = child<JListCtrl>(window, low_deal_revoke_dlg::kOrderList);
    QCOMPARE(list, window->list());
    QCOMPARE(list->geometry(), QRect(QPoint(1, 29), QPoint(1659, 312 - 32)));
    QCOMPARE(list->columnCount(), 11);
    QCOMPARE(list->columnCaption(10), QStringLiteral("成交数量"));
    QVERIFY(list->selectionMode() == QAbstractItemView::ExtendedSelection);

    window->refresh();
    QCOMPARE(requestsTo("/api/v1/order/today").size(), size_t(1));
    QVERIFY(requestsTo("/api/v1/order/today").back().body.find("\"id\" : \"100001\"") != std::string::npos);
    QCOMPARE(list->rowCount(), 4);
    const QStringList numbers{list->cellText(0, 0), list->cellText(1, 0), list->cellText(2, 0), list->cellText(3, 0)};
    QCOMPARE(numbers, QStringList({"1", "2", "3", "4"}));
    const QStringList orders{list->cellText(0, 1), list->cellText(1, 1), list->cellText(2, 1), list->cellText(3, 1)};
    QCOMPARE(orders, QStringList({"11", "13", "14", "16"}));
    for (int row = 0; row < 4; ++row)
        QCOMPARE(list->cellText(row, 3), QStringLiteral("未撤单"));
    // Sell row: price twice, traded quantity is ordered less remaining.
    QCOMPARE(list->cellText(1, 6), QStringLiteral("卖"));
    QCOMPARE(list->cellText(1, 7), QStringLiteral("8.25"));
    QCOMPARE(list->cellText(1, 9), QStringLiteral("8.25"));
    QCOMPARE(list->cellText(1, 10), QStringLiteral("18"));
    // Direction 2 is neither a buy nor a sell here.
    QCOMPARE(list->cellText(2, 6), QString());
    QCOMPARE(list->cellColour(0, 5), trade::kBuyRowColour);
    QCOMPARE(list->cellColour(1, 5), trade::kSellRowColour);

    const QImage shot = window->grab().toImage();
    testsupport::renderIfAsked(*window, "cancel-window");
    // The divider under the buttons and the frame.
    QVERIFY(testsupport::CountColour(shot, QRect(0, 28, 1660, 1), QColor(160, 160, 160)) > 1000);
}

void CancelWindowTest::selectedRowsAreCancelledOneByOneThenRefreshedOnce()
{
    low_deal_revoke_dlg window(nullptr);
    window.resize(1660, 312);
    window.show();
    window.refresh();
    const size_t refreshesBefore = requestsTo("/api/v1/order/today").size();

    select(window, {0, 1, 3});
    platform::MessageBoxRecorder boxes;
    QTest::mouseClick(child<QWidget>(&window, low_deal_revoke_dlg::kCancelButton), Qt::LeftButton);

    const std::vector<RecordedRequest> repeals = requestsTo("/api/v1/order/repeal");
    QCOMPARE(repeals.size(), size_t(3));
    // Top to bottom; the order travels as an integer `id`, the user as `stockholder_id`.
    QVERIFY(repeals[0].body.find("\"id\" : 11,") != std::string::npos);
    QVERIFY(repeals[0].body.find("\"stockholder_id\" : \"100001\"") != std::string::npos);
    QVERIFY(repeals[1].body.find("\"id\" : 13,") != std::string::npos);
    QVERIFY(repeals[2].body.find("\"id\" : 16,") != std::string::npos);
    // One box per reply that parses, refused or not; the garbled one leaves the outcome unknown.
    QCOMPARE(boxes.texts(), QStringList({QStringLiteral("撤单成功"), QStringLiteral("订单已成交，不能撤单"),
                                         QString::fromUtf8(trade::kRequestUnanswered)}));
    QCOMPARE(boxes.calls().back().detail, QStringLiteral("撤单 16"));
    QCOMPARE(boxes.calls().front().buttons, platform::MsgButtons::Ok);
    QCOMPARE(boxes.calls().front().caption, QStringLiteral("Velmora"));
    // Then one refresh, after the walk.
    QCOMPARE(requestsTo("/api/v1/order/today").size(), refreshesBefore + 1);
    QVERIFY(m_server->requests().back().path == "/api/v1/order/today");

    // Nothing selected: nothing sent, nothing said, and still one refresh.
    window.list()->clearSelection();
    boxes.clear();
    window.cancelSelected();
    QCOMPARE(requestsTo("/api/v1/order/repeal").size(), size_t(3));
    QCOMPARE(requestsTo("/api/v1/order/today").size(), refreshesBefore + 2);
    QVERIFY(boxes.calls().empty());
}

void CancelWindowTest::keysAreConsumedAndExportUsesItsOwnName()
{
    QWidget host;
    auto* window = new low_deal_revoke_dlg(&host);
    window->resize(1660, 312);
    host.show();
    window->refresh();
    select(*window, {0});
    const size_t repealsBefore = requestsTo("/api/v1/order/repeal").size();
    bool hostSawKey = false;
    struct Watch final : QObject
    {
        bool* seen;
        bool eventFilter(QObject*, QEvent* e) override
        {
            *seen |= e->type() == QEvent::KeyPress;
            return false;
        }
    } watch;
    watch.seen = &hostSawKey;
    host.installEventFilter(&watch);
    for (QWidget* target : {static_cast<QWidget*>(window), static_cast<QWidget*>(window->list())}) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
    }
    QVERIFY(window->isVisible());
    QVERIFY(!hostSawKey);
    QCOMPARE(requestsTo("/api/v1/order/repeal").size(), repealsBefore);

    std::vector<platform::SaveFileCall> asked;
    platform::setSaveFileHandler([&](const platform::SaveFileCall& call) {
        asked.push_back(call);
        return QString();
    });
    QTest::mouseClick(child<QWidget>(window, low_deal_revoke_dlg::kExportButton), Qt::LeftButton);
    platform::setSaveFileHandler(nullptr);
    QCOMPARE(asked.size(), size_t(1));
    QCOMPARE(asked[0].defaultName, QStringLiteral("未撤销订单.txt"));
}

void CancelWindowTest::orderNumbersPast32BitsAreCancelledAsThemselves()
{
    {
        std::lock_guard lock(m_mutex);
        m_replies["/api/v1/order/today"] = R"({"success":"true","infor":[
            {"id":2147483648,"stock_id":9160001,"direction":0,"commission_price":12.5,"commission_amount":20,"remain":20,"state":0},
            {"id":9007199254740993,"stock_id":9160001,"direction":0,"commission_price":12.5,"commission_amount":20,"remain":20,"state":0}]})";
    }
    low_deal_revoke_dlg window(nullptr);
    window.resize(1660, 312);
    window.show();
    window.refresh();
    QCOMPARE(window.list()->rowCount(), 2);
    const size_t before = requestsTo("/api/v1/order/repeal").size();
    select(window, {0, 1});
    platform::MessageBoxRecorder boxes;
    QTest::mouseClick(child<QWidget>(&window, low_deal_revoke_dlg::kCancelButton), Qt::LeftButton);
    const std::vector<RecordedRequest> repeals = requestsTo("/api/v1/order/repeal");
    QCOMPARE(repeals.size(), before + 2);
    QVERIFY(repeals[before].body.find("\"id\" : 2147483648,") != std::string::npos);
    QVERIFY(repeals[before + 1].body.find("\"id\" : 9007199254740993,") != std::string::npos);
}

QTEST_MAIN(CancelWindowTest)
#include "CancelWindowTest.moc"
