#include <filesystem>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "client/ApiReply.h"
#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/JListCtrl.h"
#include "session/Session.h"
#include "market/core/Pollers.h"
#include "platform/core/Colours.h"
#include "platform/Dialogs.h"
#include "support/GermanLocale.h"
#include "support/LoopbackServer.h"
#include "support/Pixels.h"
#include "support/TradeReplies.h"
#include "support/Widgets.h"
#include "support/SignedIn.h"
#include "trade/core/OrderChecks.h"
#include "trade/core/OrderOutcome.h"
#include "trade/OrderEntry.h"
#include "trade/low_deal_buy_dlg.h"
#include "trade/low_deal_sell_dlg.h"

using testsupport::CountPath;
using trade::OrderWindow;

namespace {

constexpr const char* kBuyPath = "/api/v1/item/buy";
constexpr const char* kPositionsPath = "/api/v1/customer/item";
constexpr const char* kOrdersPath = "/api/v1/order/today";
constexpr const char* kSellPath = "/api/v1/item/sell";

using testsupport::child;

void type(QLineEdit* field, const char* text)
{
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, QString::fromUtf8(text));
}

} // namespace

// The buy and sell windows on their own, against a scripted trading service.
class OrderWindowsTest final : public QObject
{
    Q_OBJECT

private:
    const std::string m_host = testsupport::UniqueLoopbackAddress(11);
    std::unique_ptr<testsupport::TradeScript> m_script;
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
    std::unique_ptr<OrderWindow> m_window;

    template <class Window = low_deal_buy_dlg>
    Window& open()
    {
        auto* window = new Window(nullptr);
        m_window.reset(window);
        window->resize(1660, 312);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("the order window did not become active");
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        return *window;
    }

    void fill(const char* code, const char* price, const char* quantity)
    {
        m_window->codeField()->setText(QString::fromUtf8(code));
        m_window->priceField()->setText(QString::fromUtf8(price));
        m_window->quantityField()->setText(QString::fromUtf8(quantity));
    }

private slots:
    void initTestCase()
    {
        client::Options o = client::defaultOptions();
        o.line0Host = m_host;
        Session::current().setOptions(o);
        client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-buy-gui-no-connect-file");
        testsupport::logInAs("100001");
    }

    void init()
    {
        m_script = std::make_unique<testsupport::TradeScript>();
        m_server = std::make_unique<testsupport::LoopbackServer>(m_host, client::kTradePort, m_script->handler());
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::Yes);
        Session::current().storeItems({{9160001, "Tolmere小酒窖", 36.0f}, {9160002, "Aubrac干红", 120.0f}}, 2);
        Session::current().setAvailableCash(1003.0f);
        Session::current().setSingleItemQuote(market::SingleItemQuote());
    }

    void cleanup()
    {
        m_window.reset();
        m_boxes.reset();
        m_server.reset();
        platform::setSaveFileHandler(nullptr);
    }

    void cleanupTestCase()
    {
        Session::current().resetForTest();
    }

    void layoutPlacesEveryControl()
    {
        low_deal_buy_dlg& w = open();
        QCOMPARE(w.codeField()->geometry(), QRect(110, 45, 110, 20));
        QCOMPARE(w.priceField()->geometry(), QRect(110, 105, 110, 20));
        QCOMPARE(w.quantityField()->geometry(), QRect(110, 195, 110, 20));
        QCOMPARE(child<QWidget>(&w, OrderWindow::kQuoteButton)->geometry(), QRect(50, 250, 60, 24));
        QCOMPARE(child<QWidget>(&w, OrderWindow::kOrderButton)->geometry(), QRect(135, 250, 60, 24));
        QCOMPARE(child<QWidget>(&w, OrderWindow::kRefreshButton)->geometry(), QRect(1660 - 120, 2, 44, 24));
        QCOMPARE(child<QWidget>(&w, OrderWindow::kExportButton)->geometry(), QRect(1660 - 66, 2, 44, 24));
        QCOMPARE(w.list(OrderWindow::Tab::Positions)->geometry(), QRect(440, 29, 1660 - 440, 312 - 39 - 29));
        QVERIFY(w.list(OrderWindow::Tab::Positions)->isVisible());
        QVERIFY(!w.list(OrderWindow::Tab::Orders)->isVisible());
        QCOMPARE(w.list(OrderWindow::Tab::Orders)->columnCount(), 9);
        QCOMPARE(w.list(OrderWindow::Tab::Trades)->columnCount(), 13);
        QCOMPARE(w.timer1().interval(), 2500);
        QVERIFY(w.timer1().isActive());
        // The form's labels are in the rise colour; the tab strip shows the positions tab.
        const QImage image = w.grab().toImage();
        QVERIFY(testsupport::CountNear(image, QRect(35, 47, 60, 16), platform::RiseColour) > 20);
        QVERIFY(testsupport::CountColour(image, QRect(440, 3, 59, 24), QColor(192, 192, 192)) > 500);
        QVERIFY(testsupport::CountColour(image, QRect(500, 3, 59, 24), QColor(160, 160, 160)) > 500);
    }

    void quoteBoxShowsDashesUntilAQuoteThenColoursByTheReference()
    {
        low_deal_buy_dlg& w = open();
        QVERIFY(!w.shownQuote());
        QImage image = w.grab().toImage();
        image.save(QStringLiteral(RENDER_DIR "/buy-no-quote.png"));
        // Before a quote only the limit-up row is in the rise colour.
        QVERIFY(testsupport::CountNear(image, QRect(230, 278, 200, 16), platform::RiseColour) > 5);
        QCOMPARE(testsupport::CountNear(image, QRect(230, 20, 200, 250), platform::RiseColour), 0);

        // An empty or zero code asks for nothing.
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kQuoteButton), Qt::LeftButton);
        w.codeField()->setText(QStringLiteral("0"));
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kQuoteButton), Qt::LeftButton);
        QCOMPARE(CountPath(*m_server, "/api/v1/trade/guide"), 0u);

        w.codeField()->setText(QStringLiteral("9160001"));
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kQuoteButton), Qt::LeftButton);
        QVERIFY(w.shownQuote());
        QCOMPARE(w.shownQuote()->texts[0], std::string("36.20"));
        image = w.grab().toImage();
        // Asks above the reference in the rise colour, bids below it in the fall colour.
        QVERIFY(testsupport::CountNear(image, QRect(290, 33, 60, 95), platform::RiseColour) > 20);
        QVERIFY(testsupport::CountNear(image, QRect(290, 168, 60, 95), platform::FallColour) > 20);
        QVERIFY(testsupport::CountNear(image, QRect(390, 33, 40, 95), platform::VolumeColour) > 20);
        // The latest price is above the reference, and so is the change.
        QVERIFY(testsupport::CountNear(image, QRect(290, 143, 40, 14), platform::RiseColour) > 5);
        QVERIFY(testsupport::CountNear(image, QRect(390, 143, 40, 14), platform::RiseColour) > 5);
        image.save(QStringLiteral(RENDER_DIR "/buy-quote.png"));

        // Another code, or none: the box is back to "--" until that code's own quote arrives.
        for (const char* other : {"", "123"}) {
            w.codeField()->setText(QStringLiteral("9160001"));
            w.refreshQuote(false);
            QVERIFY(w.shownQuote());
            w.codeField()->setText(QString::fromUtf8(other));
            QVERIFY(!w.shownQuote());
            QCOMPARE(testsupport::CountNear(w.grab().toImage(), QRect(230, 20, 200, 250), platform::RiseColour), 0);
        }

        // A code the service does not know: the button says so, the timer does not, and no
        // other item's prices come back.
        m_script->set("/api/v1/trade/guide", R"({"success":"false","msg":"产品代码不存在"})");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kQuoteButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("产品代码不存在")});
        QVERIFY(!w.shownQuote());
        w.refreshQuote(false);
        QCOMPARE(m_boxes->calls().size(), size_t(1));
    }

    void nameCashAndBuyableFollowTheFields()
    {
        low_deal_buy_dlg& w = open();
        QCOMPARE(w.usableCashText(), QStringLiteral("1003.00"));
        QCOMPARE(w.maxBuyableShown(), 0); // no price yet
        type(w.codeField(), "9160002");
        type(w.priceField(), "1"); // the code field has lost the focus
        QCOMPARE(w.itemName(), QStringLiteral("Aubrac干红"));
        Session::current().setAvailableCash(2006.0f);
        w.quantityField()->setFocus();
        QCOMPARE(w.maxBuyableShown(), 2000); // 2006 ÷ (1 + 1 × 3 ÷ 1000)
        type(w.codeField(), "9160009");
        w.priceField()->setFocus();
        QCOMPARE(w.itemName(), QString());
        QCOMPARE(w.usableCashText(), QStringLiteral("2006.00"));
    }

    void tooLittleCashNoPriceOrOutsideTheLimitsSendsNothing()
    {
        low_deal_buy_dlg& w = open();
        m_script->set(kPositionsPath, testsupport::PositionsReply(100.29, 2000));
        fill("9160001", "10", "10");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kInsufficientCash)});
        // Equality passes: 100 and its fee of 0.30.
        m_script->set(kPositionsPath, testsupport::PositionsReply(100.3, 2000));
        m_boxes->setAnswer(platform::MsgResult::No);
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts().last(), QString::fromUtf8(low_deal_buy_dlg::kConfirmBuy));
        QCOMPARE(m_boxes->calls().back().buttons, platform::MsgButtons::YesNo);
        QCOMPARE(m_boxes->calls().back().icon, platform::MsgIcon::Question);
        // An empty or zero price is refused before anything is asked.
        for (const char* price : {"", "0", "0.00"}) {
            m_boxes->clear();
            fill("9160001", price, "1");
            QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
            QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kPriceNotPositive)});
        }
        // Beyond the day's limits that the quote box shows, in the exchange's words.
        m_script->set(kPositionsPath, testsupport::PositionsReply(100000.0, 2000));
        fill("9160001", "50", "1");
        w.refreshQuote(false);
        QVERIFY(w.shownQuote());
        m_boxes->clear();
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("委托价格超出涨跌停范围（32.40-39.60）")});
        QCOMPARE(CountPath(*m_server, kBuyPath), 0u);
    }

    void confirmedBuyPostsTheBodyShowsMsgAndRefreshesTheActiveListLater()
    {
        low_deal_buy_dlg& w = open();
        QTest::mouseClick(&w, Qt::LeftButton, {}, w.tabRect(OrderWindow::Tab::Orders).center());
        QCOMPARE(w.activeTab(), OrderWindow::Tab::Orders);
        QCOMPARE(CountPath(*m_server, kOrdersPath), 1u);

        // The service refuses: its word is shown all the same.
        m_script->set(kBuyPath, R"({"success":"false","msg":"委托价格超出涨跌停范围"})");
        fill("09160001", "36.20", "20");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList({QStringLiteral("是否买入"), QStringLiteral("委托价格超出涨跌停范围")}));
        QCOMPARE(CountPath(*m_server, kBuyPath), 1u);
        const std::string body = testsupport::LastBody(*m_server, kBuyPath);
        const client::VerifiedBody verified =
            client::verifySignedBody(client::endpointInfo(client::Endpoint::Buy), body, Session::current().options().signKey);
        QVERIFY2(verified.ok, body.c_str());
        const std::string v = verified.params.at("v");
        Json::Value root;
        QVERIFY(client::parseJson(body, root));
        const std::string sign = root["sign"].asString();
        QCOMPARE(body, "{\n   \"buy_amount\" : 20,\n   \"buy_price\" : \"36.20\",\n   \"id\" : \"100001\",\n"
                       "   \"item_id\" : \"09160001\",\n   \"sign\" : \"" + sign + "\",\n   \"v\" : \"" + v + "\"\n}\n");
        // Beneath the question, what goes out.
        QCOMPARE(m_boxes->calls().front().detail,
                 QStringLiteral("买入 09160001\n价格：36.20\n数量：20\n金额：724.00\n手续费：2.17\n合计：726.17"));

        // The list is refreshed a second later, by a timer: the window goes on meanwhile.
        QCOMPARE(CountPath(*m_server, kOrdersPath), 1u);
        QTRY_COMPARE_WITH_TIMEOUT(CountPath(*m_server, kOrdersPath), 2u, 5000);
        QCOMPARE(CountPath(*m_server, kPositionsPath), 1u); // the cash check only
    }

    // The lookup of the unknown outcome brings today's orders forward in the window.
    void aBuyReplyThatDoesNotParseIsLookedUpAndStillRefreshes()
    {
        low_deal_buy_dlg& w = open();
        m_script->set(kBuyPath, "<html>502</html>");
        fill("9160001", "36.20", "1");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), (QStringList{QStringLiteral("是否买入"), QString::fromUtf8(trade::kOutcomeUnknown)}));
        QTRY_COMPARE_WITH_TIMEOUT(m_boxes->texts().last(), QString::fromUtf8(trade::kOrderNotFound), 5000);
        QCOMPARE(w.activeTab(), OrderWindow::Tab::Orders);
        QCOMPARE(w.list(OrderWindow::Tab::Orders)->rowCount(), 2);
        // The window's own refresh a second after the order follows, of the list now shown.
        QTRY_COMPARE_WITH_TIMEOUT(CountPath(*m_server, kOrdersPath), 2u, 5000);
    }

    void tabsShowTheirListsWithColumnsFormatsAndColours()
    {
        low_deal_buy_dlg& w = open();
        w.refresh();
        JListCtrl* positions = w.list(OrderWindow::Tab::Positions);
        QCOMPARE(positions->rowCount(), 2);
        QCOMPARE(positions->cellText(1, 2), QStringLiteral("Aubrac干红"));
        QCOMPARE(positions->cellText(1, 9), QStringLiteral("-1.25"));

        QTest::mouseClick(&w, Qt::LeftButton, {}, w.tabRect(OrderWindow::Tab::Orders).center());
        JListCtrl* orders = w.list(OrderWindow::Tab::Orders);
        QVERIFY(orders->isVisible() && !positions->isVisible());
        QCOMPARE(orders->cellText(0, 2), QStringLiteral("09:05:07"));
        QCOMPARE(orders->cellText(0, 3), QStringLiteral("未撤单"));
        QCOMPARE(orders->cellText(1, 3), QStringLiteral("已成交"));
        QCOMPARE(orders->cellColour(0, 5), platform::RiseColour);
        QCOMPARE(orders->cellColour(1, 5), QColor(16, 16, 16));

        QTest::mouseClick(&w, Qt::LeftButton, {}, w.tabRect(OrderWindow::Tab::Trades).center());
        JListCtrl* trades = w.list(OrderWindow::Tab::Trades);
        QCOMPARE(trades->rowCount(), 1);
        QCOMPARE(trades->cellText(0, 7), QStringLiteral("卖"));
        QCOMPARE(trades->cellText(0, 12), QStringLiteral("7001"));

        // A trades reply without success empties the list; one that does not parse leaves it.
        m_script->set("/api/v1/trade/today", R"({"success":"false","msg":"x","infor":[]})");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kRefreshButton), Qt::LeftButton);
        QCOMPARE(trades->rowCount(), 0);
        m_script->set("/api/v1/trade/today", testsupport::TradesReply());
        w.refresh();
        m_script->set("/api/v1/trade/today", "not json");
        w.refresh();
        QCOMPARE(trades->rowCount(), 1);
    }

    void exportOffersEachListsOwnName()
    {
        low_deal_buy_dlg& w = open();
        QStringList names;
        platform::setSaveFileHandler([&](const platform::SaveFileCall& call) {
            names << call.defaultName;
            return QString(); // cancelled: nothing written, nothing said
        });
        for (OrderWindow::Tab tab : {OrderWindow::Tab::Positions, OrderWindow::Tab::Orders, OrderWindow::Tab::Trades}) {
            w.selectTab(tab);
            QTest::mouseClick(child<QWidget>(&w, OrderWindow::kExportButton), Qt::LeftButton);
        }
        QCOMPARE(names, QStringList({QStringLiteral("资金持仓.txt"), QStringLiteral("当日订单.txt"),
                                     QStringLiteral("当日成交.txt")}));
        QVERIFY(m_boxes->calls().empty());
    }

    // A desktop in German: the price typed, the body, the confirmation and an export keep
    // the decimal point (the C library alone would read "36.20" as 36 and print "724,00").
    void underAGermanLocaleNumbersKeepTheirDecimalPoint()
    {
        const testsupport::GermanLocale german;
        if (!german.active())
            QSKIP(testsupport::GermanLocale::kMissing);
        low_deal_buy_dlg& w = open();
        m_script->set(kBuyPath, R"({"success":"true","msg":"委托成功"})");
        fill("9160001", "36.20", "20");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(m_boxes->calls().front().detail,
                 QStringLiteral("买入 9160001 Tolmere小酒窖\n价格：36.20\n数量：20\n金额：724.00\n手续费：2.17\n合计：726.17"));
        QVERIFY(testsupport::LastBody(*m_server, kBuyPath).find("\"buy_price\" : \"36.20\"") != std::string::npos);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("资金持仓.txt"));
        platform::setSaveFileHandler([&](const platform::SaveFileCall&) { return path; });
        w.selectTab(OrderWindow::Tab::Positions);
        w.refresh();
        QCOMPARE(w.list(OrderWindow::Tab::Positions)->cellText(1, 9), QStringLiteral("-1.25"));
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kExportButton), Qt::LeftButton);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray exported = file.readAll();
        QVERIFY2(exported.contains("-1.25") && !exported.contains("-1,25"), exported.constData());
    }

    void enterAndEscapeAreConsumed()
    {
        low_deal_buy_dlg& w = open();
        fill("9160001", "36.20", "1");
        for (QLineEdit* field : {w.codeField(), w.priceField(), w.quantityField()}) {
            QTest::keyClick(field, Qt::Key_Return);
            QTest::keyClick(field, Qt::Key_Escape);
        }
        QVERIFY(w.isVisible());
        QVERIFY(m_boxes->calls().empty());
        QCOMPARE(CountPath(*m_server, kBuyPath), 0u);
        QCOMPARE(w.priceField()->text(), QStringLiteral("36.20"));
    }

    void thePanelEmptiesTheFieldsAndTheRefreshKeepsThem()
    {
        low_deal_buy_dlg& w = open();
        fill("9160001", "36.20", "1");
        w.refresh();
        QCOMPARE(w.codeField()->text(), QStringLiteral("9160001"));
        w.clearInputs();
        QVERIFY(w.codeField()->text().isEmpty() && w.priceField()->text().isEmpty()
                && w.quantityField()->text().isEmpty());
    }
    void sellingMoreThanTheSellableQuantitySendsNothing()
    {
        low_deal_sell_dlg& w = open<low_deal_sell_dlg>();
        m_script->set(kPositionsPath, testsupport::PositionsReply(1000.0, 40));
        fill("9160001", "36.50", "41");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kSellExceedsSellable)});
        QCOMPARE(w.sellable(), 40);
        // No position in the item: anything is too much, and the box stays blank.
        fill("9160003", "36.50", "1");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(w.sellable(), 0);
        QVERIFY(!w.holdsTypedItem());
        QCOMPARE(m_boxes->texts().size(), 2);
        QCOMPARE(CountPath(*m_server, kSellPath), 0u);
    }

    void sellingExactlyTheSellableQuantityAsksSendsAndRefreshesAtOnce()
    {
        low_deal_sell_dlg& w = open<low_deal_sell_dlg>();
        m_script->set(kPositionsPath, testsupport::PositionsReply(1000.0, 40));
        w.selectTab(OrderWindow::Tab::Orders);
        QCOMPARE(CountPath(*m_server, kOrdersPath), 1u);
        m_script->set(kSellPath, R"({"success":"false","msg":"可卖数量不足"})");
        fill("9160001", "36.5", "40");
        QTest::keyClick(w.quantityField(), Qt::Key_Return); // Enter sells
        QCOMPARE(m_boxes->texts(), QStringList({QStringLiteral("是否确定卖出"), QStringLiteral("可卖数量不足")}));
        QCOMPARE(m_boxes->calls().front().icon, platform::MsgIcon::Question);
        const std::string body = testsupport::LastBody(*m_server, kSellPath);
        Json::Value root;
        QVERIFY(client::parseJson(body, root));
        QCOMPARE(body, "{\n   \"id\" : \"100001\",\n   \"item_id\" : \"9160001\",\n   \"sell_amount\" : 40,\n"
                       "   \"sell_price\" : \"36.5\",\n   \"sign\" : \"" + root["sign"].asString()
                           + "\",\n   \"v\" : \"" + root["v"].asString() + "\"\n}\n");
        QVERIFY(client::verifySignedBody(client::endpointInfo(client::Endpoint::Sell), body, Session::current().options().signKey).ok);
        // Refreshed at once, no wait.
        QCOMPARE(CountPath(*m_server, kOrdersPath), 2u);
        // No: nothing sent.
        m_boxes->setAnswer(platform::MsgResult::No);
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(CountPath(*m_server, kSellPath), 1u);
    }

    // The presets share out the figure the window shows beside them, for the typed code.
    void presetsShareOutTheBuyableAndTheSellableFigure()
    {
        low_deal_buy_dlg& buy = open();
        fill("9160001", "1", "");
        trade::OrderEntry& form = buy.entry();
        QVERIFY(testsupport::pickFromFieldMenu(buy.quantityField(), form.presetMenu(), "1/2"));
        QCOMPARE(buy.quantityField()->text(), QStringLiteral("500")); // 1003 buys 1000
        QCOMPARE(buy.maxBuyableShown(), 1000);

        low_deal_sell_dlg& sell = open<low_deal_sell_dlg>();
        m_script->set(kPositionsPath, testsupport::PositionsReply(1000.0, 40));
        fill("9160001", "36.50", "");
        QVERIFY(!sell.entry().presetButton()->isEnabled()); // not looked up yet
        sell.codeField()->setFocus();
        sell.priceField()->setFocus(); // leaving the code looks it up
        QTRY_VERIFY(sell.entry().presetButton()->isEnabled());
        QVERIFY(testsupport::pickFromFieldMenu(sell.quantityField(), sell.entry().presetMenu(), "1/4"));
        QCOMPARE(sell.quantityField()->text(), QStringLiteral("10"));
        testsupport::renderIfAsked(sell, "panel-sell-presets");
    }

    // Enter acts on the text on the screen: a one-character price is never turned into "0".
    void enterKeepsAOneCharacterPrice()
    {
        low_deal_sell_dlg& sell = open<low_deal_sell_dlg>();
        fill("9160001", "", "2");
        sell.priceField()->setFocus();
        QTest::keyClick(sell.priceField(), Qt::Key_5);
        QTest::keyClick(sell.priceField(), Qt::Key_Return);
        QCOMPARE(sell.priceField()->text(), QStringLiteral("5"));
        Json::Value sent;
        QVERIFY(client::parseJson(testsupport::LastBody(*m_server, kSellPath), sent));
        QCOMPARE(sent["sell_price"].asString(), std::string("5"));
        QCOMPARE(m_boxes->calls().front().detail, QStringLiteral("卖出 9160001 Tolmere小酒窖\n价格：5\n数量：2\n金额：10.00"));

        low_deal_buy_dlg& buy = open();
        buy.priceField()->setFocus();
        QTest::keyClick(buy.priceField(), Qt::Key_5);
        QTest::keyClick(buy.priceField(), Qt::Key_Return);
        QCOMPARE(buy.priceField()->text(), QStringLiteral("5"));
        QCOMPARE(CountPath(*m_server, kBuyPath), 0u);
    }

    // A sale of a code whose own lookup failed is judged by nothing sellable, never by the
    // figure of the code looked up before.
    void aNewCodeWhoseLookupFailsHasNothingSellable()
    {
        low_deal_sell_dlg& w = open<low_deal_sell_dlg>();
        m_script->set(kPositionsPath, testsupport::PositionsReply(1000.0, 40));
        m_boxes->setAnswer(platform::MsgResult::No);
        fill("9160001", "36.50", "30");
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(w.sellable(), 40);
        m_boxes->clear();
        m_script->set(kPositionsPath, "<html>502</html>");
        fill("9160002", "36.50", "30");
        QCOMPARE(w.entry().figureText(), QString()); // not the other code's 40
        QTest::mouseClick(child<QWidget>(&w, OrderWindow::kOrderButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kSellExceedsSellable)});
        QCOMPARE(CountPath(*m_server, kSellPath), 0u);
    }

    // The key that placed the order, held down, neither confirms nor refuses the order, nor
    // does a fresh press that arrives as the box appears (typed ahead, a double press): only
    // a press after the user has had the box before his eyes answers it.
    void aHeldOrTypedAheadEnterNeverAnswersTheConfirmation()
    {
        low_deal_sell_dlg& w = open<low_deal_sell_dlg>();
        m_boxes.reset(); // the real box
        fill("9160001", "36.50", "2");
        bool seen = false;
        bool earlyAnswered = true;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            QWidget* box = QApplication::activeModalWidget();
            seen = true;
            QWidget* target = box->focusWidget() ? box->focusWidget() : box;
            for (int i = 0; i < 5; ++i) {
                QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
                QApplication::sendEvent(target, &held);
            }
            QTest::keyClick(target, Qt::Key_Return); // a fresh press, as the box appears
            QTest::keyClick(target, Qt::Key_Escape);
            earlyAnswered = !box->isVisible() || CountPath(*m_server, kSellPath) != 0;
            m_boxes = std::make_unique<platform::MessageBoxRecorder>(); // takes the service's word
            // A deliberate press, once the box has stood for a moment: Yes.
            QTRY_VERIFY((QTest::keyClick(target, Qt::Key_Return), !box->isVisible()));
        });
        QTest::keyClick(w.quantityField(), Qt::Key_Return);
        QVERIFY(seen);
        QVERIFY(!earlyAnswered);
        QTRY_COMPARE(CountPath(*m_server, kSellPath), 1u);
    }

    void sellableLookupKeepsItsFigureWhenTheReplyFails()
    {
        low_deal_sell_dlg& w = open<low_deal_sell_dlg>();
        QVERIFY(!w.timer3().isActive());
        type(w.codeField(), "9160001");
        w.priceField()->setFocus(); // the first loss of focus starts timer 3
        QVERIFY(w.timer3().isActive());
        QCOMPARE(w.timer3().interval(), 1500);
        QCOMPARE(w.itemName(), QStringLiteral("Tolmere小酒窖"));
        QTRY_COMPARE(w.sellable(), 2000); // looked up beside the window
        QVERIFY(w.shownQuote()); // the quote box follows the code too
        for (const char* reply : {"<html>", R"({"success":"false","msg":"忙"})"}) {
            m_script->set(kPositionsPath, reply);
            QTRY_VERIFY(!w.tickInFlight());
            const std::size_t asked = CountPath(*m_server, kPositionsPath);
            w.codeField()->setFocus();
            w.priceField()->setFocus();
            QTRY_VERIFY(CountPath(*m_server, kPositionsPath) > asked && !w.tickInFlight());
            QCOMPARE(w.sellable(), 2000);
        }
        m_script->set(kPositionsPath, testsupport::PositionsReply(1000.0, 1500));
        QTRY_COMPARE_WITH_TIMEOUT(w.sellable(), 1500, 5000); // timer 3 looks again
        QVERIFY(m_boxes->calls().empty());
        w.grab().save(QStringLiteral(RENDER_DIR "/sell.png"));
    }

    void ordersTimeWithoutLeadingZerosInTheSellWindowOnly()
    {
        low_deal_sell_dlg& sell = open<low_deal_sell_dlg>();
        sell.selectTab(OrderWindow::Tab::Orders);
        QCOMPARE(sell.list(OrderWindow::Tab::Orders)->cellText(0, 2), QStringLiteral("9:5:7"));
        sell.selectTab(OrderWindow::Tab::Trades);
        QCOMPARE(sell.list(OrderWindow::Tab::Trades)->cellText(0, 2), QStringLiteral("10:30:05"));
        low_deal_buy_dlg& buy = open();
        buy.selectTab(OrderWindow::Tab::Orders);
        QCOMPARE(buy.list(OrderWindow::Tab::Orders)->cellText(0, 2), QStringLiteral("09:05:07"));
    }

    void sellLayoutDiffersWhereItsOwn()
    {
        low_deal_sell_dlg& w = open<low_deal_sell_dlg>();
        QCOMPARE(w.quantityField()->geometry(), QRect(110, 165, 110, 20));
        QCOMPARE(child<QWidget>(&w, OrderWindow::kRefreshButton)->geometry(), QRect(1660 - 140, 2, 44, 24));
        QCOMPARE(child<QWidget>(&w, OrderWindow::kExportButton)->geometry(), QRect(1660 - 86, 2, 44, 24));
        QCOMPARE(w.list(OrderWindow::Tab::Trades)->geometry(), QRect(440, 29, 1660 - 440, 312 - 31 - 29));
        const QImage image = w.grab().toImage();
        QVERIFY(testsupport::CountNear(image, QRect(32, 47, 60, 16), QColor(42, 106, 42)) > 20);
        QTest::keyClick(w.codeField(), Qt::Key_Escape);
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(OrderWindowsTest)
#include "OrderWindowsTest.moc"
