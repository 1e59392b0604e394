#include <filesystem>
#include <fstream>
#include <sstream>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/JListCtrl.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "support/LoopbackServer.h"
#include "support/SignedIn.h"
#include "trade/Trade.h"
#include "session/Session.h"

using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

std::string readFile(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// `count` orders, buys at even positions and sells at odd ones.
std::string ordersReply(int count)
{
    std::string json = R"({"success":"true","infor":[)";
    for (int i = 0; i < count; ++i) {
        json += (i ? "," : "") + std::string(R"({"id":)") + std::to_string(i + 1) + R"(,"stock_id":9160001,)"
                + R"("name":"干红","direction":)" + std::to_string(i % 2) + R"(,"commission_price":12.5,)"
                + R"("commission_amount":20,"remain":20,"add_time":1709629507,"state":0})";
    }
    return json + "]}";
}

} // namespace

class TradeListsTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void refreshFillsRowsAndColoursTheFirst200ByDirection();
    void aReplyThatDoesNotParseLeavesTheRows();
    void exportWritesGbkFieldsWithCrLf();
    void exportThatCannotWriteSaysSoAndCancelWritesNothing();

private:
    const std::string m_host = testsupport::UniqueLoopbackAddress();
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    std::string m_reply;
    const trade::ListQuery<trade::OrderRow> m_orders{client::Endpoint::OrderToday, {"当日订单\n", "\n结束当日订单\n"},
                                                     &trade::ParseOrders};
};

void TradeListsTest::initTestCase()
{
    client::Options o = client::defaultOptions();
    o.line0Host = m_host;
    Session::current().setOptions(o);
    client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-trade-gui-no-connect-file");
    testsupport::logInAs("100001");
    m_server = std::make_unique<testsupport::LoopbackServer>(
        m_host, client::kTradePort, [this](const RecordedRequest&) { return ScriptedReply{200, m_reply}; });
}

void TradeListsTest::cleanupTestCase()
{
    m_server.reset();
    Session::current().resetForTest();
}

void TradeListsTest::refreshFillsRowsAndColoursTheFirst200ByDirection()
{
    JListCtrl list;
    trade::setUpList(list, trade::panelOrdersList());
    QCOMPARE(list.columnCount(), 9);
    QCOMPARE(list.columnCaption(1), QStringLiteral("订单号"));
    QCOMPARE(list.columnWidth(4), 95);

    m_reply = ordersReply(203);
    const client::ApiReply reply =
        trade::refreshList(list, trade::panelOrdersList(), m_orders, trade::userParams());
    QVERIFY(reply.success);
    const RecordedRequest sent = m_server->requests().back();
    QCOMPARE(QString::fromStdString(sent.path), QStringLiteral("/api/v1/order/today"));
    QVERIFY(sent.body.find("\"id\" : \"100001\"") != std::string::npos);

    QCOMPARE(list.rowCount(), 203);
    QCOMPARE(list.cellText(0, 0), QStringLiteral("1"));
    QCOMPARE(list.cellText(202, 1), QStringLiteral("203"));
    QCOMPARE(list.cellText(1, 6), QStringLiteral("卖"));
    for (int column : {0, 5, 8}) {
        QCOMPARE(list.cellColour(0, column), trade::kBuyRowColour);
        QCOMPARE(list.cellColour(1, column), trade::kSellRowColour);
        QCOMPARE(list.cellColour(198, column), trade::kBuyRowColour);
        QCOMPARE(list.cellColour(199, column), trade::kSellRowColour);
        QCOMPARE(list.cellColour(200, column), list.defaultTextColour()); // a buy past the table
    }
    list.setDefaultTextColour(QColor(1, 2, 3));
    QCOMPARE(list.cellColour(202, 0), QColor(1, 2, 3));
    QCOMPARE(list.cellColour(1, 0), trade::kSellRowColour); // set, not fallen back

    // Each refresh gives a row its own direction's colour again.
    m_reply = R"({"infor":[{"direction":1},{"direction":0}]})";
    trade::refreshList(list, trade::panelOrdersList(), m_orders, trade::userParams());
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.cellColour(0, 3), trade::kSellRowColour);
    QCOMPARE(list.cellColour(1, 3), trade::kBuyRowColour);

    // A list that does not colour rows leaves the colours alone.
    JListCtrl positions;
    trade::setUpList(positions, trade::panelPositionsList());
    const trade::ListQuery<trade::PositionRow> query{client::Endpoint::CustomerItem, {}, &trade::ParsePositions};
    m_reply = R"({"infor":{"cash":{},"stock":[{"stock_id":1},{"stock_id":2}]}})";
    trade::refreshList(positions, trade::panelPositionsList(), query, trade::userParams());
    QCOMPARE(positions.rowCount(), 2);
    QCOMPARE(positions.cellColour(0, 0), positions.defaultTextColour());
}

void TradeListsTest::aReplyThatDoesNotParseLeavesTheRows()
{
    JListCtrl list;
    trade::setUpList(list, trade::panelOrdersList());
    m_reply = ordersReply(3);
    trade::refreshList(list, trade::panelOrdersList(), m_orders, trade::userParams());
    QCOMPARE(list.rowCount(), 3);
    for (const char* bad : {"", "<html>502</html>", "{\"infor\":["}) {
        m_reply = bad;
        QVERIFY(!trade::refreshList(list, trade::panelOrdersList(), m_orders, trade::userParams()).parsed);
        QCOMPARE(list.rowCount(), 3);
    }
    m_reply = R"({"success":"true","infor":null})";
    trade::refreshList(list, trade::panelOrdersList(), m_orders, trade::userParams());
    QCOMPARE(list.rowCount(), 0);
}

void TradeListsTest::exportWritesGbkFieldsWithCrLf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("当日订单.txt"));
    std::vector<platform::SaveFileCall> asked;
    platform::setSaveFileHandler([&](const platform::SaveFileCall& call) {
        asked.push_back(call);
        return path;
    });
    JListCtrl list;
    list.addColumn(QStringLiteral("序"), 50);
    list.addColumn(QStringLiteral("产品名称代码价格"), 95);
    list.appendRow({QStringLiteral("1"), QStringLiteral("波尔多干红葡萄酒")});
    std::ofstream(path.toStdString(), std::ios::binary) << "an older, longer export that must not survive";

    platform::MessageBoxRecorder boxes;
    trade::ExportListToText(list, QStringLiteral("当日订单.txt"));
    platform::setSaveFileHandler(nullptr);

    QVERIFY(boxes.calls().empty());
    QCOMPARE(asked.size(), size_t(1));
    QCOMPARE(asked[0].defaultName, QStringLiteral("当日订单.txt"));
    QCOMPARE(asked[0].filter, QStringLiteral("*.txt||*.txt"));
    const std::string expected = std::string(10, ' ') + client::utf8ToWire("序") +
                                 client::utf8ToWire("产品名称代码") + "\r\n" + std::string(11, ' ') + "1" +
                                 client::utf8ToWire("波尔多干红葡") + "\r\n";
    QCOMPARE(readFile(path), expected);
}

void TradeListsTest::exportThatCannotWriteSaysSoAndCancelWritesNothing()
{
    QTemporaryDir dir;
    JListCtrl list;
    list.addColumn(QStringLiteral("序"), 50);
    list.appendRow({QStringLiteral("1")});
    platform::MessageBoxRecorder boxes;

    const QString unwritable = dir.filePath(QStringLiteral("missing-folder/当日成交.txt"));
    platform::setSaveFileHandler([&](const platform::SaveFileCall&) { return unwritable; });
    trade::ExportListToText(list, QStringLiteral("当日成交.txt"));
    QCOMPARE(boxes.texts(), QStringList({QStringLiteral("打开文件失败")}));
    QVERIFY(!QFileInfo::exists(unwritable));

    boxes.clear();
    platform::setSaveFileHandler([&](const platform::SaveFileCall&) { return QString(); });
    trade::ExportListToText(list, QStringLiteral("当日成交.txt"));
    platform::setSaveFileHandler(nullptr);
    QVERIFY(boxes.calls().empty());
    QVERIFY(QDir(dir.path()).isEmpty());
}

QTEST_MAIN(TradeListsTest)
#include "TradeListsTest.moc"
