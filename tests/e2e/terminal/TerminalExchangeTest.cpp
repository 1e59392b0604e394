#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include <QDir>
#include <QLineEdit>
#include <QTest>

#include "app/CHtmlCtrl.h"
#include "app/CVelmoraDlg.h"
#include "session/Session.h"
#include "chart/CKBarCtrl.h"
#include "chart/ChartColour.h"
#include "controls/JListCtrl.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/core/Pollers.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/Platform.h"
#include "support/MarketCommands.h"
#include "support/LoopbackServer.h"
#include "support/LoginByHand.h"
#include "support/Pixels.h"
#include "support/TerminalOnExchange.h"
#include "support/Widgets.h"
#include "trade/low_deal_buy_dlg.h"
#include "trade/low_deal_sell_dlg.h"

using Tab = trade::OrderWindow::Tab;

namespace {

using testsupport::child;

// Pixels of either colour inside a chart's plot, clear of the value and percentage labels
// on both sides: its candles or volume bars.
int inkOf(const QImage& image, chart::Colour a, chart::Colour b)
{
    const QRect plot(50, 30, image.width() - 120, image.height() - 60);
    return testsupport::CountColour(image, plot, chart::toQColor(a)) +
           testsupport::CountColour(image, plot, chart::toQColor(b));
}

// Prices as the order windows show and take them.
QString price(double yuan)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", yuan);
    return QString::fromLatin1(text);
}

// The row of a list whose cells in `column` read `text`, -1 for none.
int rowWith(JListCtrl* list, int column, const QString& text)
{
    for (int r = 0; r < list->rowCount(); ++r) {
        if (list->cellText(r, column) == text)
            return r;
    }
    return -1;
}

// The position's total in 9160001 as the positions tab shows it (0 when none).
int heldTotal(trade::OrderWindow* window)
{
    JListCtrl* positions = window->list(Tab::Positions);
    const int row = rowWith(positions, 1, QStringLiteral("9160001"));
    return row < 0 ? 0 : positions->cellText(row, 3).toInt();
}

void placeThroughTheWindow(trade::OrderWindow* window, const QString& price, const QString& quantity)
{
    window->codeField()->setText(QStringLiteral("9160001"));
    window->priceField()->setText(price);
    window->quantityField()->setText(quantity);
    QTest::mouseClick(child<QWidget>(window, trade::OrderWindow::kOrderButton), Qt::LeftButton);
}

} // namespace

// The terminal, logged in as a demo customer, against the substitute exchange served over
// real HTTP on this process's own loopback address.
class TerminalExchangeTest final : public QObject
{
    Q_OBJECT

private:
    std::string m_address = testsupport::UniqueLoopbackAddress(7);
    testsupport::TerminalOnExchange<Transaction_Dlg> m_terminal;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;

private slots:
    void initTestCase()
    {
        const std::string error = m_terminal.start(m_address, 3, 200);
        QVERIFY2(error.empty(), error.c_str());
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::No);
    }

    void customerLogsInAndWatchesTheMarket()
    {
        // Logged in as a person does it, on the real seconds clock: the code is read off the
        // screen and typed a few seconds later, the cursor blinking meanwhile.
        CVelmoraDlg login;
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        login.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        QVERIFY(login.loginPermitted()); // the manifest names the running version
        QLineEdit* code = testsupport::TypeAccountAndPassword(login, QStringLiteral("100001"), QStringLiteral("123456"));
        QVERIFY(code);
        const QString shown = testsupport::ReadPictureCode(login);
        const std::time_t readAt = std::time(nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(std::time(nullptr) >= readAt + 2, 10000);
        for (const QChar digit : shown) {
            QTest::keyClicks(code, QString(digit));
            code->repaint(); // as the cursor blinks
        }
        QTest::keyClick(code, Qt::Key_Return);
        QVERIFY2(m_boxes->calls().empty(), qPrintable(m_boxes->texts().join(QLatin1Char('|'))));
        QVERIFY(Session::current().loggedIn());
        auto* market = qobject_cast<Transaction_Dlg*>(login.marketWindow());
        QVERIFY(market);

        // The overview fills with every item the exchange lists.
        QTRY_VERIFY_WITH_TIMEOUT(market->basicList()->rowCount() >= 13, 15000);
        // The usable cash arrives from the poller.
        QTRY_VERIFY_WITH_TIMEOUT(Session::current().availableCash() > 0.0f, 15000);
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        market->grab().save(QStringLiteral(RENDER_DIR "/overview.png"));

        testsupport::run(market, testsupport::MarketCommand::Kline);
        QTRY_VERIFY_WITH_TIMEOUT(
            inkOf(market->klineChart()->Snapshot(), chart::kCandleRise, chart::kCandleFall) > 100, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(market->quotePanel()->openingPrice() > 0.0, 15000);
        market->grab().save(QStringLiteral(RENDER_DIR "/kline.png"));

        testsupport::run(market, testsupport::MarketCommand::Timeshare);
        // The day so far: at least the volume bar of the minute the trades fell in.
        QTRY_VERIFY_WITH_TIMEOUT(
            inkOf(market->timeshareChart()->Snapshot(), chart::kRiseColour, chart::kFallColour) > 0, 15000);
        market->grab().save(QStringLiteral(RENDER_DIR "/timeshare.png"));

        testsupport::run(market, testsupport::MarketCommand::Information);
        QVERIFY(market->infoPage()->isVisible());
        QVERIFY(!market->infoPage()->toPlainText().isEmpty());
        QVERIFY(m_boxes->calls().empty());
    }

    void customerBuysAndSellsThroughThePanel()
    {
        app::setCodeClock([] { return std::time_t(1700000000); });
        m_boxes->setAnswer(platform::MsgResult::Yes);
        m_boxes->clear();
        CVelmoraDlg login;
        login.show();
        testsupport::LogInDirectly(login, QStringLiteral("100001"), QStringLiteral("123456"));
        QVERIFY2(m_boxes->calls().empty(), qPrintable(m_boxes->texts().join(QLatin1Char('|'))));
        auto* market = qobject_cast<Transaction_Dlg*>(login.marketWindow());
        QVERIFY(market);

        // The start-up sequence brings up the panel with the buy window and its positions.
        QTRY_VERIFY_WITH_TIMEOUT(market->tradePanel() && market->tradePanel()->isVisible(), 20000);
        Detail_Trans_Dlg* panel = market->tradePanel();
        auto* buy = qobject_cast<low_deal_buy_dlg*>(panel->hostedWindow(Detail_Trans_Dlg::Hosted::Buy));
        QVERIFY(buy && buy->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(heldTotal(buy) == 2000, 10000);

        // The quote of the item gives the book to price against.
        buy->codeField()->setText(QStringLiteral("9160001"));
        buy->refreshQuote(true);
        QVERIFY(buy->shownQuote());
        const double bestBid = buy->shownQuote()->secondPrices[0];
        const double bestAsk = buy->shownQuote()->firstPrices[0];
        const int askVolume = buy->shownQuote()->firstVolumes[0];
        QVERIFY(bestBid > 0.0 && bestAsk > bestBid && askVolume > 0);

        // Below the market the order rests, and shows among today's orders.
        buy->selectTab(Tab::Orders);
        placeThroughTheWindow(buy, price(bestBid - 0.10), QStringLiteral("20"));
        QCOMPARE(m_boxes->texts().first(), QStringLiteral("是否买入"));
        QVERIFY2(m_boxes->texts().last().contains(QStringLiteral("委托成功")), qPrintable(m_boxes->texts().last()));
        JListCtrl* orders = buy->list(Tab::Orders);
        QTRY_VERIFY_WITH_TIMEOUT(rowWith(orders, 7, price(bestBid - 0.10)) >= 0, 10000);
        const int resting = rowWith(orders, 7, price(bestBid - 0.10));
        QCOMPARE(orders->cellText(resting, 8), QStringLiteral("20"));
        QCOMPARE(orders->cellText(resting, 3), QStringLiteral("未撤单"));
        QCOMPARE(orders->cellText(resting, 6), QStringLiteral("买"));
        panel->grab().save(QStringLiteral(RENDER_DIR "/trading-orders.png"));

        // At the best ask it trades: the trade shows and the position grows.
        const int bought = std::min(askVolume, 5);
        buy->selectTab(Tab::Trades);
        m_boxes->clear();
        placeThroughTheWindow(buy, price(bestAsk), QString::number(bought));
        QVERIFY2(m_boxes->texts().last().contains(QStringLiteral("已成交")), qPrintable(m_boxes->texts().last()));
        JListCtrl* trades = buy->list(Tab::Trades);
        QTRY_VERIFY_WITH_TIMEOUT(rowWith(trades, 5, price(bestAsk)) >= 0, 10000);
        QCOMPARE(trades->cellText(rowWith(trades, 5, price(bestAsk)), 7), QStringLiteral("买"));
        panel->grab().save(QStringLiteral(RENDER_DIR "/trading-trades.png"));
        buy->selectTab(Tab::Positions);
        QCOMPARE(heldTotal(buy), 2000 + bought);

        // Selling part of the position above the market: the sellable quantity falls.
        panel->choose(2);
        auto* sell = qobject_cast<low_deal_sell_dlg*>(panel->hostedWindow(Detail_Trans_Dlg::Hosted::Sell));
        QVERIFY(sell && sell->isVisible());
        sell->activateWindow();
        sell->codeField()->setFocus();
        sell->codeField()->setText(QStringLiteral("9160001"));
        sell->priceField()->setFocus(); // the code field's loss of focus looks the figure up beside the window
        QTRY_COMPARE_WITH_TIMEOUT(sell->sellable(), 2000 + bought, 10000);
        m_boxes->clear();
        placeThroughTheWindow(sell, price(bestAsk + 1.00f), QStringLiteral("300"));
        QCOMPARE(m_boxes->texts().first(), QStringLiteral("是否确定卖出"));
        QVERIFY2(m_boxes->texts().last().contains(QStringLiteral("委托成功")), qPrintable(m_boxes->texts().last()));
        sell->codeField()->setFocus();
        sell->priceField()->setFocus();
        QTRY_COMPARE_WITH_TIMEOUT(sell->sellable(), 2000 + bought - 300, 10000);
        // More than is left is refused before anything goes out.
        m_boxes->clear();
        placeThroughTheWindow(sell, price(bestAsk + 1.00f), QString::number(2000 + bought - 300 + 1));
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("卖出数量超过可卖数量请重新输入")});
        panel->grab().save(QStringLiteral(RENDER_DIR "/trading-sell.png"));
        QCOMPARE(QString::fromStdString(m_terminal.exchange().audit()), QString());
        app::setCodeClock(nullptr);
    }
};

QTEST_MAIN(TerminalExchangeTest)
#include "TerminalExchangeTest.moc"
