#include <chrono>
#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <map>
#include <mutex>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QThreadPool>

#include "client/CodePage.h"
#include "session/Config.h"
#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "session/Session.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "support/LoopbackServer.h"
#include "support/Pixels.h"
#include "support/Widgets.h"
#include "support/SignedIn.h"
#include "trade/Buying_dlg.h"
#include "trade/core/OrderChecks.h"
#include "trade/core/OrderOutcome.h"
#include "trade/OrderEntry.h"
#include "trade/Selling_dlg.h"

using testsupport::LoopbackServer;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

const QString kBuy = QStringLiteral("是否买入");
const QString kSell = QStringLiteral("是否卖出");

// 1000 yuan usable; 40 units of 9160001 sellable.
const char* kHoldings = R"({"success":"true","infor":{"cash":{"bankroll_usable":1000},"stock":[
    {"stock_id":9160002,"amount_usable":7},{"stock_id":9160001,"amount_usable":40}]}})";

using testsupport::child;

void fill(trade::QuickOrderDlg& popup, const QString& code, const QString& price, const QString& quantity)
{
    popup.codeField()->setText(code);
    popup.priceField()->setText(price);
    popup.quantityField()->setText(quantity);
}

} // namespace

class QuickOrderTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void quickBuyLayoutAndFigures();
    void enterInAnyFieldAsksForConfirmation();
    void quickBuySendsTheCodeAsAnIntegerAndClosesOnSuccess();
    void refusedOrderKeepsTheTypedValues();
    void refusalsBeforeAnythingIsSent();
    void wholeBodyIsSentHoweverLong();
    void quickSellChecksTheLastLookedUpFigure();
    void aFailedLookupKeepsTheFigure();
    void silentServiceNeverHoldsTheWindowBeyondTheTimeOut();
    void unansweredOrderIsLookedUpAndNotSentTwice_data();
    void aPopUpBroughtBackForAnotherItemForgetsTheQuantity();
    void unansweredOrderIsLookedUpAndNotSentTwice();
    void presetsFillAShareOfTheFigureAndTheOrderIsStillChecked();

private:
    void startServer();
    void setReply(const std::string& path, std::string reply);
    std::vector<RecordedRequest> requestsTo(const std::string& path) const;
    void waitForLookup(Selling_dlg& popup);

    const std::string m_host = testsupport::UniqueLoopbackAddress();
    std::unique_ptr<LoopbackServer> m_server;
    mutable std::mutex m_mutex;
    std::map<std::string, ScriptedReply> m_replies;
    std::condition_variable m_lookupGate;
    bool m_holdLookups = false;         // today's orders wait until the test lets them answer
    QObject* m_typeDuringOrder = nullptr; // gets an Enter posted while the order is out
    // Made on the GUI thread, only posted from the server's: the thread that reads an event
    // is the one that wrote it, as with a real key.
    QKeyEvent* m_typedKey = nullptr;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
};

void QuickOrderTest::initTestCase()
{
    client::Options o = client::defaultOptions();
    o.line0Host = m_host;
    Session::current().setOptions(o);
    client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-quick-gui-no-connect-file");
    testsupport::logInAs("100001");
    Session::current().storeItems({{9160001, "Tolmere小酒窖", 12.3f}, {9160002, "Aubrac干红", 8.1f}}, 2);
}

void QuickOrderTest::cleanupTestCase()
{
    Session::current().resetForTest();
}

void QuickOrderTest::init()
{
    {
        std::lock_guard lock(m_mutex);
        m_replies.clear();
        m_replies["/api/v1/customer/item"] = {200, kHoldings};
        m_replies["/api/v1/item/buy"] = {200, client::utf8ToWire(R"({"success":"true","msg":"买入委托成功"})")};
        m_replies["/api/v1/item/sell"] = {200, client::utf8ToWire(R"({"success":"true","msg":"卖出委托成功"})")};
        m_replies["/api/v1/order/today"] = {200, R"({"success":"true","infor":[]})"};
    }
    startServer();
    Session::current().setAvailableCash(1000.0f);
    m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::Yes);
}

void QuickOrderTest::startServer()
{
    m_server = std::make_unique<LoopbackServer>(m_host, client::kTradePort, [this](const RecordedRequest& r) {
        std::unique_lock lock(m_mutex);
        if (r.path == "/api/v1/order/today")
            m_lookupGate.wait_for(lock, std::chrono::seconds(20), [this] { return !m_holdLookups; });
        if (r.path == "/api/v1/item/buy" && m_typeDuringOrder && m_typedKey)
            QCoreApplication::postEvent(m_typeDuringOrder, std::exchange(m_typedKey, nullptr));
        const auto it = m_replies.find(r.path);
        return it == m_replies.end() ? ScriptedReply{404, "not here"} : it->second;
    });
}

void QuickOrderTest::cleanup()
{
    // Lookups still out finish against the server before it goes.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    m_boxes.reset();
    m_server.reset();
}

void QuickOrderTest::setReply(const std::string& path, std::string reply)
{
    std::lock_guard lock(m_mutex);
    m_replies[path] = {200, client::utf8ToWire(reply)};
}

std::vector<RecordedRequest> QuickOrderTest::requestsTo(const std::string& path) const
{
    std::vector<RecordedRequest> out;
    for (const RecordedRequest& r : m_server->requests()) {
        if (r.path == path)
            out.push_back(r);
    }
    return out;
}

void QuickOrderTest::waitForLookup(Selling_dlg& popup)
{
    QTRY_VERIFY_WITH_TIMEOUT(!popup.lookupInFlight(), 10000);
}

void QuickOrderTest::quickBuyLayoutAndFigures()
{
    QPointer<Buying_dlg> popup = new Buying_dlg(nullptr);
    QVERIFY(!popup->isVisible()); // its opener shows it
    QCOMPARE(popup->geometry(), QRect(400, 200, 200, 265));
    QVERIFY(popup->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(child<QWidget>(popup, Buying_dlg::kCloseButton)->geometry(), QRect(166, 0, 34, 28));
    QCOMPARE(child<QLineEdit>(popup, Buying_dlg::kCodeField)->geometry(), QRect(75, 45, 115, 20));
    QCOMPARE(child<QLineEdit>(popup, Buying_dlg::kQuantityField)->geometry(), QRect(75, 195, 115, 20));
    QCOMPARE(child<QWidget>(popup, Buying_dlg::kOrderButton)->geometry(), QRect(110, 228, 68, 23));
    QVERIFY(popup->timer1().isActive());

    popup->show();
    popup->prefill(QStringLiteral("9160001"), QStringLiteral("12.35"));
    QCOMPARE(popup->boxText(Buying_dlg::kNameBox), QStringLiteral("Tolmere小酒窖"));
    QCOMPARE(popup->boxText(Buying_dlg::kCashBox), QStringLiteral("1000.00"));
    QCOMPARE(popup->boxText(Buying_dlg::kBuyableBox), QStringLiteral("80")); // 1000 / (12.35 × 1.003)
    QTRY_VERIFY(popup->quantityField()->hasFocus());

    // The timer follows the poller's cash and the typed price.
    Session::current().setAvailableCash(2000.0f);
    popup->priceField()->setText(QStringLiteral("10"));
    QTRY_COMPARE_WITH_TIMEOUT(popup->boxText(Buying_dlg::kBuyableBox), QStringLiteral("199"), 3000);
    QCOMPARE(popup->boxText(Buying_dlg::kCashBox), QStringLiteral("2000.00"));
    popup->codeField()->setText(QStringLiteral("09160001"));
    QTRY_COMPARE_WITH_TIMEOUT(popup->boxText(Buying_dlg::kNameBox), QString(), 3000);

    const QImage shot = popup->grab().toImage();
    testsupport::renderIfAsked(*popup, "quick-buy");
    QCOMPARE(shot.pixelColor(100, 10), QColor(32, 32, 32));  // title strip
    QCOMPARE(shot.pixelColor(30, 70), QColor(Qt::white));     // a row border
    QCOMPARE(shot.pixelColor(70, 150), QColor(Qt::white));    // the divider
    QCOMPARE(shot.pixelColor(195, 70), QColor(240, 240, 240)); // borders stop 10 short of the edge
    QVERIFY(testsupport::CountColour(shot, QRect(5, 133, 60, 20), QColor(64, 64, 64)) > 0); // "可用资金"

    // The close button destroys it.
    QTest::mouseClick(child<QWidget>(popup, Buying_dlg::kCloseButton), Qt::LeftButton);
    QTRY_VERIFY(popup.isNull());
}

void QuickOrderTest::enterInAnyFieldAsksForConfirmation()
{
    m_boxes->setAnswer(platform::MsgResult::No);
    Buying_dlg buy(nullptr);
    buy.show();
    fill(buy, QStringLiteral("9160001"), QStringLiteral("5"), QStringLiteral("2"));
    for (QLineEdit* field : {buy.codeField(), buy.priceField(), buy.quantityField()}) {
        m_boxes->clear();
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(m_boxes->texts(), QStringList{kBuy});
        QCOMPARE(m_boxes->calls().front().buttons, platform::MsgButtons::YesNo);
        QCOMPARE(m_boxes->calls().front().icon, platform::MsgIcon::Question);
    }
    // The price goes out as typed: Enter never reaches the field's one-character rule.
    QCOMPARE(buy.priceField()->text(), QStringLiteral("5"));
    QVERIFY(requestsTo("/api/v1/item/buy").empty()); // No sends nothing

    Selling_dlg sell(nullptr);
    sell.show();
    fill(sell, QStringLiteral("9160001"), QStringLiteral("5"), QStringLiteral("2"));
    waitForLookup(sell);
    for (QLineEdit* field : {sell.codeField(), sell.priceField(), sell.quantityField()}) {
        m_boxes->clear();
        QTest::keyClick(field, Qt::Key_Enter);
        QCOMPARE(m_boxes->texts(), QStringList{kSell});
    }
    QVERIFY(requestsTo("/api/v1/item/sell").empty());
}

void QuickOrderTest::quickBuySendsTheCodeAsAnIntegerAndClosesOnSuccess()
{
    QPointer<Buying_dlg> popup = new Buying_dlg(nullptr);
    popup->show();
    fill(*popup, QStringLiteral("09160001"), QStringLiteral("12.5"), QStringLiteral("79"));
    QTest::mouseClick(child<QWidget>(popup, Buying_dlg::kOrderButton), Qt::LeftButton);

    // The usable cash is asked first (79 at 12.5 and the fee pass 1000), then the order.
    const std::vector<RecordedRequest> sent = m_server->requests();
    QCOMPARE(sent.size(), size_t(2));
    QCOMPARE(QString::fromStdString(sent[0].path), QStringLiteral("/api/v1/customer/item"));
    QCOMPARE(QString::fromStdString(sent[1].path), QStringLiteral("/api/v1/item/buy"));
    const client::VerifiedBody body =
        client::verifySignedBody(client::endpointInfo(client::Endpoint::QuickBuy), sent[1].body, client::defaults::kSignKey);
    QVERIFY2(body.ok, body.error.c_str());
    QVERIFY(sent[1].body.find("\"item_id\" : 9160001,") != std::string::npos);
    QVERIFY(sent[1].body.find("\"buy_amount\" : 79,") != std::string::npos);
    QVERIFY(sent[1].body.find("\"buy_price\" : \"12.5\",") != std::string::npos);
    QVERIFY(sent[1].body.find("\"id\" : \"100001\",") != std::string::npos);

    QCOMPARE(m_boxes->texts(), QStringList({kBuy, QStringLiteral("买入委托成功")}));
    // The confirmation names the item of the code that goes out.
    QVERIFY(m_boxes->calls().front().detail.startsWith(QStringLiteral("买入 9160001 Tolmere小酒窖\n")));
    QCOMPARE(m_boxes->calls().back().buttons, platform::MsgButtons::Ok);
    QTRY_VERIFY(popup.isNull()); // closed, and gone
}

void QuickOrderTest::refusedOrderKeepsTheTypedValues()
{
    setReply("/api/v1/item/sell", R"({"success":"false","msg":"委托价格超出涨跌停范围"})");
    Selling_dlg popup(nullptr);
    popup.show();
    fill(popup, QStringLiteral("09160001"), QStringLiteral("99.99"), QStringLiteral("40"));
    QTRY_COMPARE_WITH_TIMEOUT(popup.sellable(), 40, 5000); // the timer's lookup
    QTest::keyClick(popup.quantityField(), Qt::Key_Return);

    QCOMPARE(m_boxes->texts(), QStringList({kSell, QStringLiteral("委托价格超出涨跌停范围")}));
    const std::vector<RecordedRequest> sells = requestsTo("/api/v1/item/sell");
    QCOMPARE(sells.size(), size_t(1));
    // The quick sell sends the code as typed, as text.
    QVERIFY(sells[0].body.find("\"item_id\" : \"09160001\",") != std::string::npos);
    QVERIFY(sells[0].body.find("\"sell_amount\" : 40,") != std::string::npos);
    QVERIFY(popup.isVisible());
    QCOMPARE(popup.codeField()->text(), QStringLiteral("09160001"));
    QCOMPARE(popup.priceField()->text(), QStringLiteral("99.99"));
    QCOMPARE(popup.quantityField()->text(), QStringLiteral("40"));

    // A reply that does not parse leaves the outcome unknown and keeps the pop-up too.
    setReply("/api/v1/item/sell", "<html>502</html>");
    m_boxes->clear();
    popup.placeOrderNow();
    QCOMPARE(m_boxes->texts(), (QStringList{kSell, QString::fromUtf8(trade::kOutcomeUnknown)}));
    QVERIFY(popup.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->texts().last(), QString::fromUtf8(trade::kOrderNotFound), 10000);
}

void QuickOrderTest::refusalsBeforeAnythingIsSent()
{
    Buying_dlg popup(nullptr);
    popup.show();
    fill(popup, QStringLiteral("9160001"), QStringLiteral("12.5"), QStringLiteral("81"));
    popup.placeOrderNow();
    QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kInsufficientCash)});
    for (const char* price : {"", "0", "0.00"}) {
        m_boxes->clear();
        popup.priceField()->setText(QString::fromUtf8(price));
        popup.placeOrderNow();
        QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kPriceNotPositive)});
    }
    QVERIFY(requestsTo("/api/v1/item/buy").empty());
    QVERIFY(popup.isVisible());
}

void QuickOrderTest::wholeBodyIsSentHoweverLong()
{
    // Leading zeros make a price text of any length that still reads 12.5.
    const QString price = QString(1200, QLatin1Char('0')) + QStringLiteral("12.5");
    Buying_dlg popup(nullptr);
    popup.show();
    fill(popup, QStringLiteral("9160001"), price, QStringLiteral("1"));
    popup.placeOrderNow();
    const std::vector<RecordedRequest> buys = requestsTo("/api/v1/item/buy");
    QCOMPARE(buys.size(), size_t(1));
    QVERIFY(buys[0].body.size() > 1026);
    QVERIFY(buys[0].body.find("\"buy_price\" : \"" + price.toStdString() + "\",") != std::string::npos);
    QVERIFY(client::verifySignedBody(client::endpointInfo(client::Endpoint::QuickBuy), buys[0].body,
                                     client::defaults::kSignKey)
                .ok);
}

void QuickOrderTest::quickSellChecksTheLastLookedUpFigure()
{
    Selling_dlg popup(nullptr);
    QCOMPARE(popup.sellable(), 0);
    QCOMPARE(child<QLineEdit>(&popup, Selling_dlg::kQuantityField)->geometry(), QRect(75, 165, 115, 20));
    popup.show();
    popup.prefill(QStringLiteral("9160001"), QStringLiteral("12.40"));
    QCOMPARE(popup.boxText(Selling_dlg::kNameBox), QStringLiteral("Tolmere小酒窖"));
    waitForLookup(popup);
    QCOMPARE(popup.sellable(), 40);
    QCOMPARE(popup.boxText(Selling_dlg::kSellableBox), QStringLiteral("40"));
    const RecordedRequest lookup = requestsTo("/api/v1/customer/item").front();
    QVERIFY(lookup.body.find("\"id\" : \"100001\",") != std::string::npos);
    testsupport::renderIfAsked(popup, "quick-sell");

    popup.quantityField()->setText(QStringLiteral("41"));
    popup.placeOrderNow();
    QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kSellExceedsSellable)});
    QVERIFY(requestsTo("/api/v1/item/sell").empty());

    // The timer keeps looking, shown or hidden: a position sold elsewhere shows here.
    popup.hide();
    setReply("/api/v1/customer/item", R"({"success":"true","infor":{"cash":{},"stock":[{"stock_id":9160001,"amount_usable":25}]}})");
    QTRY_COMPARE_WITH_TIMEOUT(popup.sellable(), 25, 5000);
    popup.show();

    // A code without a position: the figure becomes 0 and the box empty.
    popup.codeField()->setText(QStringLiteral("9160003"));
    QTRY_COMPARE_WITH_TIMEOUT(popup.sellable(), 0, 5000);
    QCOMPARE(popup.boxText(Selling_dlg::kSellableBox), QString());
    m_boxes->clear();
    popup.quantityField()->setText(QStringLiteral("1"));
    popup.placeOrderNow();
    QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kSellExceedsSellable)});
}

void QuickOrderTest::aFailedLookupKeepsTheFigure()
{
    Selling_dlg popup(nullptr);
    popup.show();
    popup.prefill(QStringLiteral("9160001"), QStringLiteral("12.40"));
    waitForLookup(popup);
    QCOMPARE(popup.sellable(), 40);

    for (const char* reply : {"<html>502</html>", R"({"success":"false","msg":"busy"})"}) {
        setReply("/api/v1/customer/item", reply);
        const size_t before = requestsTo("/api/v1/customer/item").size();
        QTRY_VERIFY_WITH_TIMEOUT(requestsTo("/api/v1/customer/item").size() > before, 5000);
        waitForLookup(popup);
        QCOMPARE(popup.boxText(Selling_dlg::kSellableBox), QString());
        QCOMPARE(popup.sellable(), 40);
    }
    // So selling the remembered figure still passes the check.
    popup.quantityField()->setText(QStringLiteral("40"));
    m_boxes->setAnswer(platform::MsgResult::No);
    popup.placeOrderNow();
    QCOMPARE(m_boxes->texts(), QStringList{kSell});

    // But never for another code: with its lookup failing too, nothing of it is sellable.
    popup.codeField()->setText(QStringLiteral("9160002"));
    popup.quantityField()->setText(QStringLiteral("30"));
    m_boxes->clear();
    popup.placeOrderNow();
    QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kSellExceedsSellable)});
    QVERIFY(requestsTo("/api/v1/item/sell").empty());
}

void QuickOrderTest::silentServiceNeverHoldsTheWindowBeyondTheTimeOut()
{
    ScriptedReply silent;
    silent.mode = ScriptedReply::Mode::NeverAnswer;

    // The sell pop-up's lookups run beside the window: with nobody answering, the window
    // has its code drawn and is back in the event loop while the lookup waits.
    m_server->setHandler([silent](const RecordedRequest&) { return silent; });
    QPointer<Selling_dlg> sell = new Selling_dlg(nullptr);
    sell->show();
    sell->prefill(QStringLiteral("9160001"), QStringLiteral("12.40"));
    QVERIFY(sell->lookupInFlight());
    QVERIFY(m_server->waitForRequests(1, 10000));
    QVERIFY(sell->lookupInFlight()); // the request is at the server, unanswered, and we run
    QCOMPARE(sell->boxText(Selling_dlg::kNameBox), QStringLiteral("Tolmere小酒窖"));
    delete sell.data(); // closing meanwhile is safe: the late answer finds nobody
    m_server.reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();

    // An order request to a silent service gives up within the transport's time-out and
    // says the outcome is unknown; the pop-up keeps its values.
    {
        std::lock_guard lock(m_mutex);
        m_replies["/api/v1/item/buy"] = silent;
    }
    startServer();
    Buying_dlg buy(nullptr);
    buy.show();
    fill(buy, QStringLiteral("9160001"), QStringLiteral("12.5"), QStringLiteral("2"));
    const auto start = std::chrono::steady_clock::now();
    buy.placeOrderNow();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    QCOMPARE(requestsTo("/api/v1/item/buy").size(), size_t(1));
    QCOMPARE(m_boxes->texts(), (QStringList{kBuy, QString::fromUtf8(trade::kOutcomeUnknown)}));
    QVERIFY(buy.isVisible());
    QCOMPARE(buy.quantityField()->text(), QStringLiteral("2"));
    // About 3 s; far below a hang, loose for a loaded machine.
    QVERIFY(elapsed < std::chrono::seconds(10));
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->texts().size(), 3, 10000); // the lookup's answer
}

void QuickOrderTest::unansweredOrderIsLookedUpAndNotSentTwice_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("taken");
    const int normal = int(ScriptedReply::Mode::Normal);
    const QByteArray taken = R"({"success":"true","msg":"买入委托成功"})";
    QTest::newRow("past the time-out") << 200 << int(ScriptedReply::Mode::NeverAnswer) << QByteArray() << true;
    QTest::newRow("connection closed") << 200 << int(ScriptedReply::Mode::CloseMidBody) << taken << false;
    QTest::newRow("error page") << 500 << normal << QByteArray("<html>Internal Server Error</html>") << false;
    QTest::newRow("garbage") << 200 << normal << QByteArray("\x01sucess:tru") << true;
}

void QuickOrderTest::unansweredOrderIsLookedUpAndNotSentTwice()
{
    QFETCH(int, status);
    QFETCH(int, mode);
    QFETCH(QByteArray, body);
    QFETCH(bool, taken);
    const QString unknown = QString::fromUtf8(trade::kOutcomeUnknown);
    const QString held = QString::fromUtf8(trade::kSameOrderBeingChecked);
    Buying_dlg first(nullptr);
    Buying_dlg second(nullptr);
    first.show();
    second.show();
    fill(first, QStringLiteral("9160001"), QStringLiteral("12.5"), QStringLiteral("2"));
    fill(second, QStringLiteral("9160001"), QStringLiteral("12.50"), QStringLiteral("2"));
    {
        std::lock_guard lock(m_mutex);
        ScriptedReply fault{status, body.toStdString()};
        fault.mode = ScriptedReply::Mode(mode);
        m_replies["/api/v1/item/buy"] = fault;
        const std::string row = R"({"id":40,"stock_id":9160001,"direction":0,"commission_price":12.5,)"
                                R"("commission_amount":2,"remain":2,"state":0,"add_time":)"
                                + std::to_string(std::time(nullptr)) + "}";
        m_replies["/api/v1/order/today"] = {200, R"({"success":"true","infor":[)" + (taken ? row : "") + "]}"};
        m_holdLookups = true;
        m_typeDuringOrder = first.quantityField();
        delete std::exchange(m_typedKey, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    }

    // Told at once, with what was sent; an Enter pressed while the order was out is dropped.
    first.placeOrderNow();
    {
        std::lock_guard lock(m_mutex);
        m_typeDuringOrder = nullptr;
        delete std::exchange(m_typedKey, nullptr);
    }
    QCoreApplication::processEvents();
    QCOMPARE(m_boxes->texts(), (QStringList{kBuy, unknown}));
    QVERIFY(m_boxes->calls().back().detail.contains(QStringLiteral("12.5")));

    // The same order from another pop-up waits for the lookup; nothing is asked or sent.
    second.placeOrderNow();
    QCOMPARE(m_boxes->texts().last(), held);
    QCOMPARE(requestsTo("/api/v1/item/buy").size(), size_t(1));

    {
        std::lock_guard lock(m_mutex);
        m_holdLookups = false;
        m_replies["/api/v1/item/buy"] = {200, client::utf8ToWire(R"({"success":"true","msg":"买入委托成功"})")};
    }
    m_lookupGate.notify_all();
    const QString answer = QString::fromUtf8(taken ? trade::kOrderFound : trade::kOrderNotFound);
    QTRY_COMPARE_WITH_TIMEOUT(m_boxes->texts().last(), answer, 10000);
    QCOMPARE(m_boxes->texts().size(), 4);
    QCOMPARE(requestsTo("/api/v1/order/today").size(), size_t(1));

    // Answered: the same order may go out again.
    second.placeOrderNow();
    QCOMPARE(requestsTo("/api/v1/item/buy").size(), size_t(2));
}

void QuickOrderTest::aPopUpBroughtBackForAnotherItemForgetsTheQuantity()
{
    Buying_dlg buy(nullptr);
    buy.show();
    buy.prefill(QStringLiteral("9160001"), QStringLiteral("12.35"));
    QTest::keyClicks(buy.quantityField(), QStringLiteral("50"));
    QCOMPARE(buy.boxText(Buying_dlg::kBuyableBox), QStringLiteral("80"));
    // Back for the same item: what was typed is selected, and typing replaces it.
    buy.prefill(QStringLiteral("9160001"), QStringLiteral("12.35"));
    QTest::keyClicks(buy.quantityField(), QStringLiteral("20"));
    QCOMPARE(buy.quantityField()->text(), QStringLiteral("20"));
    // Back for another: no quantity of the old one, the figures the new item's.
    buy.prefill(QStringLiteral("9160002"), QStringLiteral("8.10"));
    QCOMPARE(buy.quantityField()->text(), QString());
    QCOMPARE(buy.boxText(Buying_dlg::kNameBox), QStringLiteral("Aubrac干红"));
    QCOMPARE(buy.boxText(Buying_dlg::kBuyableBox), QStringLiteral("123")); // 1000 / (8.10 × 1.003)
    QVERIFY(buy.entry().presetButton()->isEnabled());
}

namespace {

bool pickPreset(trade::OrderEntry& entry, const char* label)
{
    return testsupport::pickFromFieldMenu(entry.quantityField(), entry.presetMenu(), label);
}

} // namespace

void QuickOrderTest::presetsFillAShareOfTheFigureAndTheOrderIsStillChecked()
{
    Buying_dlg buy(nullptr);
    buy.show();
    buy.prefill(QStringLiteral("9160001"), QString());
    trade::OrderEntry& form = buy.entry();
    QVERIFY(!form.presetButton()->isEnabled()); // no price, no figure
    QVERIFY(!pickPreset(form, "全部"));

    // 1000 at 12.35 buys 80; the shares round down, and the box shows the figure at once.
    buy.priceField()->setText(QStringLiteral("12.35"));
    QVERIFY(form.presetButton()->isEnabled());
    const std::pair<const char*, const char*> shares[] = {{"全部", "80"}, {"1/2", "40"}, {"1/3", "26"}, {"1/4", "20"}};
    for (const auto& [label, quantity] : shares) {
        QVERIFY2(pickPreset(form, label), label);
        QCOMPARE(buy.quantityField()->text(), QString::fromUtf8(quantity));
    }
    QCOMPARE(buy.boxText(Buying_dlg::kBuyableBox), QStringLiteral("80"));

    // A share that rounds to nothing is offered disabled and leaves the quantity alone.
    buy.priceField()->setText(QStringLiteral("300"));
    QVERIFY(pickPreset(form, "1/3")); // 3 buyable: 1
    QCOMPARE(buy.quantityField()->text(), QStringLiteral("1"));
    QVERIFY(!pickPreset(form, "1/4"));
    QCOMPARE(buy.quantityField()->text(), QStringLiteral("1"));
    // The figure fallen to nothing once the menu was open: said, not left silently.
    Session::current().setAvailableCash(0.0);
    form.presetMenu()->actions().front()->trigger();
    QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kNothingToBuy)});
    QCOMPARE(buy.quantityField()->text(), QStringLiteral("1"));
    m_boxes->clear();
    Session::current().setAvailableCash(1000.0);

    // What the preset filled goes through the check and the confirmation like typed text:
    // the cash has fallen since, so the order is refused.
    buy.priceField()->setText(QStringLiteral("12.35"));
    QVERIFY(pickPreset(form, "全部"));
    setReply("/api/v1/customer/item", R"({"success":"true","infor":{"cash":{"bankroll_usable":500},"stock":[]}})");
    buy.placeOrderNow();
    QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kInsufficientCash)});
    QVERIFY(requestsTo("/api/v1/item/buy").empty());

    // A sale shares out the sellable quantity of the typed code, and of no other.
    setReply("/api/v1/customer/item", kHoldings);
    Selling_dlg sell(nullptr);
    sell.show();
    QVERIFY(!sell.entry().presetButton()->isEnabled()); // unknown until the lookup answers
    sell.prefill(QStringLiteral("9160001"), QStringLiteral("12.40"));
    waitForLookup(sell);
    QTRY_VERIFY(sell.entry().presetButton()->isEnabled());
    QVERIFY(pickPreset(sell.entry(), "1/3"));
    QCOMPARE(sell.quantityField()->text(), QStringLiteral("13"));
    m_boxes->clear();
    m_boxes->setAnswer(platform::MsgResult::No);
    sell.placeOrderNow();
    QCOMPARE(m_boxes->texts(), QStringList{kSell});
    QVERIFY(m_boxes->calls().front().detail.contains(QStringLiteral("数量：13")));
    sell.codeField()->setText(QStringLiteral("9160003"));
    QVERIFY(!sell.entry().presetButton()->isEnabled());
}

QTEST_MAIN(QuickOrderTest)
#include "QuickOrderTest.moc"
