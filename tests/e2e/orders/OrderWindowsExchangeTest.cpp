#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <string>

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include "app/CVelmoraDlg.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "controls/JListCtrl.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/SingleItemQuote.h"
#include "platform/Platform.h"
#include "support/MarketCommands.h"
#include "support/LoopbackServer.h"
#include "support/TerminalOnExchange.h"
#include "support/Widgets.h"
#include "trade/Buying_dlg.h"
#include "trade/Trade.h"
#include "trade/low_deal_revoke_dlg.h"
#include "client/ApiSign.h"
#include "client/Call.h"
#include "client/Numbers.h"
#include "mainwnd/Watchers.h"
#include "chart/CKBarCtrl.h"
#include <QMenu>
#include <QComboBox>
#include "platform/Notices.h"

namespace {

// Today's orders as the today's-orders list shows them: order number to state text.
std::map<QString, QString> todaysOrderStates()
{
    JListCtrl list;
    trade::setUpList(list, trade::todayOrdersList());
    const trade::ListQuery<trade::OrderRow> query{client::Endpoint::OrderToday, {}, &trade::ParseOrders};
    trade::refreshList(list, trade::todayOrdersList(), query, trade::userParams());
    std::map<QString, QString> states;
    for (int row = 0; row < list.rowCount(); ++row)
        states[list.cellText(row, 1)] = list.cellText(row, 3);
    return states;
}

} // namespace

// The cancellation window and the quick buy of a logged-in customer against the substitute
// exchange, over real HTTP on this process's own loopback address.
class OrderWindowsExchangeTest final : public QObject
{
    Q_OBJECT

private:
    std::string m_address = testsupport::UniqueLoopbackAddress(11);
    testsupport::TerminalOnExchange<Transaction_Dlg> m_terminal;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
    std::unique_ptr<CVelmoraDlg> m_login;
    Transaction_Dlg* m_market = nullptr;

    // A quick buy from the toolbar at `price` (the quote's own when empty).
    void quickBuy(const QString& price, const QString& quantity)
    {
        testsupport::run(m_market, testsupport::MarketCommand::QuickBuy);
        QPointer<Buying_dlg> popup = m_market->quickBuy();
        QVERIFY(popup && popup->isVisible());
        QCOMPARE(popup->codeField()->text(), QStringLiteral("9160001"));
        if (!price.isEmpty())
            popup->priceField()->setText(price);
        QTest::keyClicks(popup->quantityField(), quantity);
        QTest::keyClick(popup->quantityField(), Qt::Key_Return);
        QTRY_VERIFY(popup.isNull()); // accepted: the pop-up closed
    }

private slots:
    void initTestCase()
    {
        const std::string error = m_terminal.start(m_address, 5, 200);
        QVERIFY2(error.empty(), error.c_str());
        app::setCodeClock([] { return std::time_t(1700000000); });
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::Yes);

        m_login = std::make_unique<CVelmoraDlg>();
        m_login->show();
        m_login->findChild<QLineEdit*>(QString::number(CVelmoraDlg::kAccountPlain))->setText("100001");
        m_login->findChild<QLineEdit*>(QString::number(CVelmoraDlg::kPassword))->setText("123456");
        m_login->findChild<QLineEdit*>(QString::number(CVelmoraDlg::kCode))->setText(m_login->verificationCode());
        m_login->onLogin();
        QVERIFY(Session::current().loggedIn());
        m_market = qobject_cast<Transaction_Dlg*>(m_login->marketWindow());
        QVERIFY(m_market);
        // The overview gives the pop-ups the item's name.
        QTRY_VERIFY_WITH_TIMEOUT(m_market->basicList()->rowCount() > 0, 15000);
        m_boxes->clear();
    }

    void aRestingOrderMetByAnotherAccountIsToldWithinOnePoll()
    {
        trade::FillNotices* fills = m_market->watchers()->fills();
        fills->poll(); // what is there now is known before the order goes in
        QVERIFY(fills->poller()->waitIdle(5000));
        const std::size_t told = fills->told().size();

        // 100001 offers five at the best ask, behind what rests there; 100002 buys the whole level.
        const client::ApiReply quote = client::fetch(client::Endpoint::Realtime);
        const std::string ask = client::fixedDecimals(client::jsonReal(quote.infor[0], "sellPrice1"), 2);
        const std::int64_t resting = client::JsonInt64(quote.infor[0], "sellVol1");
        QVERIFY(resting > 0);
        const client::ApiReply sell = client::Call(client::Endpoint::Sell, {{"id", "100001"}, {"item_id", "9160001"},
                                                                            {"sell_amount", "5"}, {"sell_price", ask}});
        QVERIFY2(sell.success, sell.msg.c_str());
        QVERIFY(client::Call(client::Endpoint::Login, {{"passwd", client::hashPassword("velmora")}, {"username", "100002"}}).success);
        const client::ApiReply buy = client::Call(client::Endpoint::Buy, {{"buy_amount", std::to_string(resting + 5)},
                                                                          {"buy_price", ask}, {"id", "100002"},
                                                                          {"item_id", "9160001"}});
        QVERIFY2(buy.success, buy.msg.c_str());

        // The next tick of the poll tells it.
        platform::NoticeWindow* notice = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((notice = m_market->watchers()->notices()->window()) && notice->isVisible(),
                                 2 * trade::FillNotices::kPollMs);
        QCOMPARE(fills->told().size(), told + 1);
        QVERIFY(notice->lines().front().startsWith(QStringLiteral("卖 9160001 Tolmere小酒窖 ") + QString::fromStdString(ask) + " × 5 "));
        testsupport::renderIfAsked(*notice, "fill-notice-e2e");
    }

    void anAlertSetFromTheOverviewTellsOnceFromItsRows()
    {
        using Command = mainwnd::MarketActions::Command;
        QAction* action = m_market->actions()->action(Command::PriceAlerts);
        QVERIFY(m_market->dropMenu(Transaction_Dlg::kMenuSystem)->actions().contains(action));
        QVERIFY(m_market->klineChart()->findChild<QMenu*>(QStringLiteral("indicatorMenu"))->actions().contains(action));
        action->trigger();
        market::PriceAlertsDlg* dlg = m_market->watchers()->alertsWindow();
        QVERIFY(dlg && dlg->isVisible());
        dlg->conditionBox()->setCurrentIndex(0);
        dlg->valueField()->setText(QStringLiteral("0.01"));
        QTest::mouseClick(dlg->addButton(), Qt::LeftButton);
        QCOMPARE(m_market->watchers()->alerts()->alerts().back().code, 9160001);

        platform::NoticeWindow* notice = m_market->watchers()->notices()->window();
        if (notice)
            notice->hide();
        m_market->refresh(); // the overview's next reply
        QTRY_VERIFY_WITH_TIMEOUT((notice = m_market->watchers()->notices()->window()) && notice->isVisible()
                                     && notice->title() == QStringLiteral("价格预警"),
                                 10000);
        QVERIFY(notice->lines().front().startsWith(QStringLiteral("9160001 Tolmere小酒窖 最新价 ≥ 0.01，最新价 ")));
        testsupport::renderIfAsked(*dlg, "alerts-window-e2e");
        testsupport::renderIfAsked(*notice, "alert-notice-e2e");
        QVERIFY(!m_market->watchers()->alerts()->alerts().back().armed);

        // On a chart the overview rests; the item's quote serves its alerts.
        notice->hide();
        m_market->actions()->action(Command::Timeshare)->trigger();
        action->trigger();
        dlg->conditionBox()->setCurrentIndex(1);
        dlg->valueField()->setText(QStringLiteral("99999"));
        QTest::mouseClick(dlg->addButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 10000);
        QVERIFY(notice->lines().front().startsWith(QStringLiteral("9160001 Tolmere小酒窖 最新价 ≤ 99999.00")));
    }

    void cleanupTestCase()
    {
        m_login.reset();
        app::setCodeClock(nullptr);
    }

    void twoRestingOrdersAreCancelledFromTheCancelWindow()
    {
        // Two buys at the day's lowest price rest in the book.
        QVERIFY(market::requestSingleItemQuote(9160001) == market::QuoteOutcome::Updated);
        const QString lowest = QString::asprintf("%.2f", double(Session::current().singleItemQuote().prices[3]));
        const std::map<QString, QString> before = todaysOrderStates();
        quickBuy(lowest, QStringLiteral("1"));
        quickBuy(lowest, QStringLiteral("2"));
        std::set<QString> placed;
        for (const auto& [order, state] : todaysOrderStates()) {
            if (!before.count(order))
                placed.insert(order);
        }
        QCOMPARE(placed.size(), size_t(2));

        // Where the trade panel puts the window on this screen.
        QWidget panel;
        panel.setGeometry(0, 1040 - 369, 1920, 340);
        auto* window = new low_deal_revoke_dlg(&panel);
        window->setGeometry(260, 28, 1660, 312);
        panel.show();
        window->refresh();
        JListCtrl* list = window->list();
        for (int row = 0; row < list->rowCount(); ++row) {
            if (placed.count(list->cellText(row, 1)))
                list->selectionModel()->select(list->model()->index(row, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        QCOMPARE(list->selectionModel()->selectedRows().size(), 2);
        m_boxes->clear();
        QTest::mouseClick(window->findChild<QWidget*>(QString::number(low_deal_revoke_dlg::kCancelButton)),
                          Qt::LeftButton);
        QCOMPARE(m_boxes->calls().size(), size_t(2));
        for (const QString& text : m_boxes->texts())
            QVERIFY2(text.startsWith(QStringLiteral("撤单成功")), qPrintable(text));
        for (int row = 0; row < list->rowCount(); ++row)
            QVERIFY(!placed.count(list->cellText(row, 1)));
        testsupport::renderIfAsked(panel, "cancel-window-e2e");

        const std::map<QString, QString> after = todaysOrderStates();
        for (const QString& order : placed)
            QCOMPARE(after.at(order), QStringLiteral("已撤单"));
    }

    void quickBuyFromTheToolbarShowsInTodaysOrders()
    {
        const std::map<QString, QString> before = todaysOrderStates();
        m_boxes->clear();
        quickBuy(QString(), QStringLiteral("3")); // at the prefilled price
        QCOMPARE(m_boxes->texts().size(), 2);
        QCOMPARE(m_boxes->texts().front(), QStringLiteral("是否买入"));
        const QString reply = m_boxes->texts().back();
        QVERIFY2(reply.startsWith(QStringLiteral("买入委托成功")), qPrintable(reply));
        // The order the service named is the one new row of today's orders.
        const QString order = reply.section(QStringLiteral("订单号："), 1).section(QLatin1Char(','), 0, 0)
                                  .section(QStringLiteral("，"), 0, 0);
        const std::map<QString, QString> after = todaysOrderStates();
        QCOMPARE(after.size(), before.size() + 1);
        QVERIFY2(after.count(order) && !before.count(order), qPrintable(order));
    }
};

QTEST_MAIN(OrderWindowsExchangeTest)
#include "OrderWindowsExchangeTest.moc"
