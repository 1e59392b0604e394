#include <memory>
#include <string>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/CVelmoraDlg.h"
#include "app/Detailsystimeset.h"
#include "app/LoginDlg.h"
#include "app/Lock_Detail_dlg.h"
#include "session/Session.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/JListCtrl.h"
#include "controls/cMyTreeCtrl.h"
#include "client/WholeFile.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/IdleLock.h"
#include "mainwnd/Transaction_Dlg.h"
#include "session/Session.h"
#include "market/core/Pollers.h"
#include "platform/Platform.h"
#include "support/MarketCommands.h"
#include "support/LoopbackServer.h"
#include "support/ScriptedTerminal.h"
#include "support/PanelEntry.h"
#include "support/TradeReplies.h"
#include "support/Widgets.h"
#include "trade/Buying_dlg.h"
#include "trade/Selling_dlg.h"
#include "trade/low_deal_buy_dlg.h"
#include "trade/low_deal_revoke_dlg.h"
#include "trade/low_deal_sell_dlg.h"

using Hosted = Detail_Trans_Dlg::Hosted;
using testsupport::CountPath;

namespace {

const QRect kWorkArea(0, 0, 1920, 1040);
constexpr const char* kPositions = "/api/v1/customer/item";

using testsupport::child;

// The entries as the tree shows them, top to bottom, children indented by two blanks.
QStringList visibleOrder(const QTreeWidget* tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* root = tree->topLevelItem(i);
        out << root->text(0);
        for (int c = 0; c < root->childCount(); ++c)
            out << QStringLiteral("  ") + root->child(c)->text(0);
    }
    return out;
}

using testsupport::ClickPanelEntry;

} // namespace

// The trade panel, its lock and lock-time strip, and the market window's part in them,
// against a scripted trading service.
class TradePanelTest final : public QObject
{
    Q_OBJECT

private:
    const std::string m_host = testsupport::UniqueLoopbackAddress(12);
    std::unique_ptr<testsupport::TradeScript> m_script;
    std::unique_ptr<testsupport::ScriptedTerminal> m_world;
    testsupport::LoopbackServer* m_trade = nullptr;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
    std::unique_ptr<QWidget> m_owner;

    // A panel over a stand-in market window, as a logged-in user's.
    Detail_Trans_Dlg& openPanel()
    {
        m_owner = std::make_unique<QWidget>();
        auto* panel = new Detail_Trans_Dlg(m_owner.get());
        panel->show();
        panel->activateWindow();
        if (!QTest::qWaitForWindowActive(panel))
            qWarning("the panel did not become active");
        return *panel;
    }

    void logIn()
    {
        UserRecord record;
        record.id = "100001";
        record.password = "pass1234";
        Session::current().setUserRecord(record);
        Session::current().setLoggedIn(true);
    }

private slots:
    void initTestCase()
    {
        platform::setWorkArea(kWorkArea);
        QDir().mkpath(QStringLiteral(RENDER_DIR));
    }

    void init()
    {
        m_script = std::make_unique<testsupport::TradeScript>();
        m_world = std::make_unique<testsupport::ScriptedTerminal>(m_host, DATA_DIR, m_script->handler(), [](const auto&) {
            return testsupport::ScriptedReply{200, R"({"success":"true","infor":[]})"};
        });
        QVERIFY(m_world->ready());
        m_trade = &m_world->trade();
        logIn();
        Session::current().storeItems({{9160001, "Tolmere小酒窖", 36.0f}}, 1);
        Session::current().setAvailableCash(480000.5f);
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::Yes);
    }

    void cleanup()
    {
        m_owner.reset();
        m_boxes.reset();
        m_world.reset();
        Session::current().resetForTest();
    }

    void cleanupTestCase() { Session::current().resetForTest(); }

    void panelIsDockedWithItsStripAndTree()
    {
        Detail_Trans_Dlg& panel = openPanel();
        QCOMPARE(panel.geometry(), QRect(0, 1040 - 369, 1920, 340));
        QCOMPARE(panel.tree()->geometry(), QRect(0, 30, 260, 310));
        QCOMPARE(panel.tree()->objectName(), QStringLiteral("2112"));
        const QList<QWidget*> closers = panel.findChildren<QWidget*>(QStringLiteral("238"), Qt::FindDirectChildrenOnly);
        QCOMPARE(closers.size(), 2);
        QCOMPARE(closers[0]->geometry(), QRect(0, 0, 260, 28));
        QCOMPARE(closers[1]->geometry(), QRect(1906, 0, 14, 26));
        QCOMPARE(child<QWidget>(&panel, Detail_Trans_Dlg::kHide)->geometry(), QRect(1882, 0, 14, 26));
        QCOMPARE(child<QWidget>(&panel, Detail_Trans_Dlg::kLock)->geometry(), QRect(1802, 0, 70, 26));
        QCOMPARE(child<QWidget>(&panel, Detail_Trans_Dlg::kRefresh)->geometry(), QRect(1722, 0, 70, 26));
        QCOMPARE(child<QWidget>(&panel, Detail_Trans_Dlg::kLockTime)->geometry(), QRect(1642, 0, 70, 26));
        // The buy window is made with the panel, hidden, and asks for nothing yet.
        QVERIFY(panel.hostedWindow(Hosted::Buy));
        QVERIFY(!panel.hostedWindow(Hosted::Buy)->isVisible());
        QCOMPARE(panel.hostedWindow(Hosted::Buy)->geometry(), QRect(260, 28, 1660, 312));
        QCOMPARE(m_trade->requestCount(), 0u);
    }

    void treeListsTheFunctionsInOrderWithNoneExpanded()
    {
        Detail_Trans_Dlg& panel = openPanel();
        const QStringList expected = {
            "普通交易", "  买入", "  卖出", "  撤单", "交割申请", "出金", "  出金申请", "  出金状态查撤",
            "  历史出金状态查询", "查询功能", "  当日成交", "  当日订单", "  交割查询", "  历史成交", "  资金持仓",
            "更改密码", "更改信息"};
        QCOMPARE(visibleOrder(panel.tree()), expected);
        for (int f = 0; f < Detail_Trans_Dlg::kFunctionCount; ++f) {
            QVERIFY(!panel.entry(f)->isExpanded());
            QVERIFY(!panel.entry(f)->icon(0).isNull());
            QCOMPARE(panel.entry(f)->sizeHint(0).height(), 28);
        }
    }

    void eachEntryShowsItsWindowAndTitle()
    {
        Detail_Trans_Dlg& panel = openPanel();
        struct Case
        {
            int function;
            const char* title;
            Hosted window;
        };
        const Case cases[] = {{8, "历史出金状态查撤", Hosted::WithdrawalHistory},
                              {9, "查询功能", Hosted::Funds},
                              {10, "资金持仓", Hosted::Funds},
                              {5, "出金", Hosted::WithdrawalApplication},
                              {6, "出金申请", Hosted::WithdrawalApplication},
                              {16, "更改信息", Hosted::ChangeDetails},
                              {2, "卖出", Hosted::Sell},
                              {3, "撤单", Hosted::Cancel},
                              {0, "普通交易", Hosted::Buy}};
        for (const Case& c : cases) {
            ClickPanelEntry(panel, c.function);
            QCOMPARE(panel.chosenFunction(), c.function);
            QCOMPARE(panel.title(), QString::fromUtf8(c.title));
            trade::PanelWindow* shown = panel.hostedWindow(c.window);
            QVERIFY2(shown && shown->isVisible(), c.title);
            QCOMPARE(shown->geometry(), panel.hostedPlace(c.window));
            for (int h = 0; h < Detail_Trans_Dlg::kHostedCount; ++h) {
                if (h != int(c.window) && panel.hostedWindow(Hosted(h)))
                    QVERIFY(!panel.hostedWindow(Hosted(h))->isVisible());
            }
        }
        QCOMPARE(panel.hostedPlace(Hosted::ChangeDetails), QRect(260, 29, 1660, 310));
        QCOMPARE(panel.hostedPlace(Hosted::Funds), QRect(260, 28, 1660, 312));
        QVERIFY(qobject_cast<low_deal_sell_dlg*>(panel.hostedWindow(Hosted::Sell)));
        QVERIFY(qobject_cast<low_deal_revoke_dlg*>(panel.hostedWindow(Hosted::Cancel)));
        // The strip shows the chosen title.
        ClickPanelEntry(panel, 8);
        panel.grab().save(QStringLiteral(RENDER_DIR "/panel-withdrawal-history.png"));
        panel.grab(QRect(0, 0, 700, 340)).save(QStringLiteral(RENDER_DIR "/panel-tree.png"));
    }

    void aSecondClickOnTheChosenEntryReloadsIt()
    {
        Detail_Trans_Dlg& panel = openPanel();
        ClickPanelEntry(panel, 1); // 买入: emptied, then its positions reloaded
        QCOMPARE(CountPath(*m_trade, kPositions), 1u);
        auto* buy = qobject_cast<low_deal_buy_dlg*>(panel.hostedWindow(Hosted::Buy));
        QVERIFY(buy && buy->isVisible());
        buy->codeField()->setText(QStringLiteral("9160001"));
        buy->priceField()->setText(QStringLiteral("36.20"));
        buy->quantityField()->setText(QStringLiteral("20"));
        ClickPanelEntry(panel, 1);
        QVERIFY(buy->codeField()->text().isEmpty());
        QVERIFY(buy->priceField()->text().isEmpty());
        QVERIFY(buy->quantityField()->text().isEmpty());
        QCOMPARE(CountPath(*m_trade, kPositions), 2u);
        // A click that moves to another entry chooses it once.
        ClickPanelEntry(panel, 2);
        QCOMPARE(CountPath(*m_trade, kPositions), 3u);
        // A click on a group's expander chooses nothing.
        const QRect root = panel.tree()->visualItemRect(panel.entry(9));
        QTest::mouseClick(panel.tree()->viewport(), Qt::LeftButton, {}, QPoint(6, root.center().y()));
        QCOMPARE(panel.chosenFunction(), 2);
        QCOMPARE(CountPath(*m_trade, kPositions), 3u);
    }

    void refreshReloadsOnlyTheFunctionsThatHaveIt()
    {
        Detail_Trans_Dlg& panel = openPanel();
        ClickPanelEntry(panel, 1);
        auto* buy = qobject_cast<low_deal_buy_dlg*>(panel.hostedWindow(Hosted::Buy));
        buy->priceField()->setText(QStringLiteral("36.20")); // (no code: the quote timer stays quiet)
        const size_t before = m_trade->requestCount();
        QTest::mouseClick(child<QWidget>(&panel, Detail_Trans_Dlg::kRefresh), Qt::LeftButton);
        QCOMPARE(m_trade->requestCount(), before + 1);
        QCOMPARE(buy->priceField()->text(), QStringLiteral("36.20")); // the refresh keeps the fields
        for (int f : {13, 5, 6, 7, 8, 15, 16}) {
            ClickPanelEntry(panel, f);
            const size_t shown = m_trade->requestCount();
            QTest::mouseClick(child<QWidget>(&panel, Detail_Trans_Dlg::kRefresh), Qt::LeftButton);
            QCOMPARE(m_trade->requestCount(), shown);
        }
    }

    void lockCoversThePanelUntilTheLastLoginIsTyped()
    {
        Detail_Trans_Dlg& panel = openPanel();
        panel.showBuyWindow();
        QTest::mouseClick(child<QWidget>(&panel, Detail_Trans_Dlg::kLock), Qt::LeftButton);
        Lock_Detail_dlg* lock = panel.lockWindow();
        QVERIFY(lock && lock->isVisible() && panel.isLocked());
        QCOMPARE(lock->geometry(), panel.rect());
        QVERIFY(!panel.tree()->isEnabled());
        QVERIFY(!panel.hostedWindow(Hosted::Buy)->isEnabled());
        const int c = 1920 / 2;
        QCOMPARE(lock->accountBox()->geometry(), QRect(c - 58, 105, 165, 18));
        QCOMPARE(lock->passwordBox()->geometry(), QRect(c - 58, 135, 165, 18));
        QCOMPARE(lock->passwordBox()->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QWidget>(lock, Lock_Detail_dlg::kOk)->geometry(), QRect(c - 88, 163, 70, 22));
        QCOMPARE(child<QWidget>(lock, Lock_Detail_dlg::kCancel)->geometry(), QRect(c + 12, 163, 70, 22));
        QCOMPARE(child<QWidget>(lock, Lock_Detail_dlg::kExitTrading)->geometry(), QRect(1906, 0, 14, 26));
        QCOMPARE(child<QWidget>(lock, Lock_Detail_dlg::kHide)->geometry(), QRect(1882, 0, 14, 26));
        lock->grab().save(QStringLiteral(RENDER_DIR "/lock.png"));

        // Wrong: said so, still locked, the boxes keep their text.
        QTest::keyClicks(lock->accountBox(), QStringLiteral("100001x"));
        QCOMPARE(lock->accountBox()->text(), QStringLiteral("100001")); // digits only
        lock->passwordBox()->setText(QStringLiteral("wrong"));
        QTest::mouseClick(child<QWidget>(lock, Lock_Detail_dlg::kOk), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("账号密码输入有误")});
        QVERIFY(panel.isLocked());
        QCOMPARE(lock->passwordBox()->text(), QStringLiteral("wrong"));
        // "取消" empties both and stays.
        QTest::mouseClick(child<QWidget>(lock, Lock_Detail_dlg::kCancel), Qt::LeftButton);
        QVERIFY(lock->accountBox()->text().isEmpty() && lock->passwordBox()->text().isEmpty());
        QVERIFY(panel.isLocked());
        // Right, by Enter: unlocked, no request made.
        const size_t requests = m_trade->requestCount();
        lock->accountBox()->setText(QStringLiteral("100001"));
        lock->passwordBox()->setText(QStringLiteral("pass1234"));
        QTest::keyClick(lock->passwordBox(), Qt::Key_Return);
        QVERIFY(!panel.isLocked());
        QVERIFY(!lock->isVisible());
        QVERIFY(lock->accountBox()->text().isEmpty());
        QVERIFY(panel.tree()->isEnabled() && panel.hostedWindow(Hosted::Buy)->isEnabled());
        QCOMPARE(m_trade->requestCount(), requests);
        QCOMPARE(m_boxes->calls().size(), size_t(1));
    }

    void hidingFromTheLockKeepsThePanelLocked()
    {
        Detail_Trans_Dlg& panel = openPanel();
        panel.lockPanel();
        QTest::mouseClick(child<QWidget>(panel.lockWindow(), Lock_Detail_dlg::kHide), Qt::LeftButton);
        QVERIFY(!panel.isVisible());
        panel.show();
        QVERIFY(panel.isLocked());
        QVERIFY(panel.lockWindow()->isVisible());
    }

    void lockTimeStripTogglesAboveThePanel()
    {
        Detail_Trans_Dlg& panel = openPanel();
        QTest::mouseClick(child<QWidget>(&panel, Detail_Trans_Dlg::kLockTime), Qt::LeftButton);
        Detailsystimeset* strip = panel.lockTimeWindow();
        QVERIFY(strip && strip->isVisible());
        QCOMPARE(strip->geometry(), QRect(1920 - 300, 1040 - 369 - 50, 220, 50));
        strip->grab().save(QStringLiteral(RENDER_DIR "/lock-time.png"));
        QTest::mouseClick(child<QWidget>(&panel, Detail_Trans_Dlg::kLockTime), Qt::LeftButton);
        QVERIFY(!strip->isVisible());
        QTest::mouseClick(child<QWidget>(&panel, Detail_Trans_Dlg::kLockTime), Qt::LeftButton);
        QVERIFY(strip->isVisible());
    }

    void hideAndCloseButtons()
    {
        Detail_Trans_Dlg& panel = openPanel();
        panel.showBuyWindow();
        QTest::mouseClick(child<QWidget>(&panel, Detail_Trans_Dlg::kHide), Qt::LeftButton);
        QVERIFY(!panel.isVisible());
        QVERIFY(!panel.hostedWindow(Hosted::Buy)->isVisible());
        panel.show(); // its window comes back with it
        QVERIFY(panel.hostedWindow(Hosted::Buy)->isVisible());
        QPointer<Detail_Trans_Dlg> gone = &panel;
        QTest::mouseClick(panel.findChildren<QWidget*>(QStringLiteral("238")).first(), Qt::LeftButton);
        QTRY_VERIFY(gone.isNull());
    }

    void rendersWithEveryTabAndTheSellWindow()
    {
        Detail_Trans_Dlg& panel = openPanel();
        ClickPanelEntry(panel, 1);
        auto* buy = qobject_cast<low_deal_buy_dlg*>(panel.hostedWindow(Hosted::Buy));
        buy->codeField()->setText(QStringLiteral("9160001"));
        buy->priceField()->setText(QStringLiteral("36.20"));
        buy->quantityField()->setText(QStringLiteral("20"));
        buy->refreshQuote(true);
        panel.grab().save(QStringLiteral(RENDER_DIR "/panel-buy-positions.png"));
        buy->selectTab(trade::OrderWindow::Tab::Orders);
        panel.grab().save(QStringLiteral(RENDER_DIR "/panel-buy-orders.png"));
        buy->selectTab(trade::OrderWindow::Tab::Trades);
        panel.grab().save(QStringLiteral(RENDER_DIR "/panel-buy-trades.png"));
        ClickPanelEntry(panel, 2);
        auto* sell = qobject_cast<low_deal_sell_dlg*>(panel.hostedWindow(Hosted::Sell));
        sell->codeField()->setText(QStringLiteral("9160001"));
        sell->codeField()->setFocus();
        sell->priceField()->setFocus();
        QTRY_COMPARE(sell->sellable(), 2000);
        sell->selectTab(trade::OrderWindow::Tab::Orders);
        panel.grab().save(QStringLiteral(RENDER_DIR "/panel-sell-orders.png"));
        QCOMPARE(sell->list(trade::OrderWindow::Tab::Orders)->cellText(0, 2), QStringLiteral("9:5:7"));
        QVERIFY(m_boxes->calls().empty());
    }

    // The market window: the panel made at start for a logged-in user, shown with the buy
    // window by the start-up sequence, hidden by the overview mode and toggled by 237.
    void marketWindowStartsToggleAndHidesThePanel()
    {
        CVelmoraDlg login;
        auto* market = new Transaction_Dlg(&login);
        market->show();
        QVERIFY(market->tradePanel());
        QTRY_VERIFY_WITH_TIMEOUT(market->tradePanel()->isVisible(), 15000);
        Detail_Trans_Dlg* panel = market->tradePanel();
        QCOMPARE(panel->geometry(), QRect(0, 671, 1920, 340));
        QVERIFY(panel->hostedWindow(Hosted::Buy)->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(CountPath(*m_trade, kPositions) >= 1, 5000);
        QTRY_COMPARE(qobject_cast<trade::OrderWindow*>(panel->hostedWindow(Hosted::Buy))
                         ->list(trade::OrderWindow::Tab::Positions)->rowCount(),
                     2);
        market->grab().save(QStringLiteral(RENDER_DIR "/market-with-panel.png"));

        testsupport::run(market, testsupport::MarketCommand::Trade);
        QVERIFY(!panel->isVisible());
        testsupport::run(market, testsupport::MarketCommand::Trade);
        QVERIFY(panel->isVisible());
        QVERIFY(panel->hostedWindow(Hosted::Buy)->isVisible());
        testsupport::run(market, testsupport::MarketCommand::Kline);
        testsupport::run(market, testsupport::MarketCommand::Overview);
        QVERIFY(!panel->isVisible());

        // The lock closes the quick pop-ups and keeps them closed: their command shows the lock.
        testsupport::run(market, testsupport::MarketCommand::Trade);
        testsupport::run(market, testsupport::MarketCommand::QuickSell);
        QPointer<Selling_dlg> quickSell = market->quickSell();
        QVERIFY(quickSell && quickSell->isVisible());
        panel->lockPanel();
        QTRY_VERIFY(quickSell.isNull());
        testsupport::run(market, testsupport::MarketCommand::QuickBuy);
        QVERIFY(!market->quickBuy());
        QVERIFY(panel->isVisible() && panel->isLocked());

        // Locked, hidden, shown again by 237: still under its lock.
        testsupport::run(market, testsupport::MarketCommand::Trade);
        testsupport::run(market, testsupport::MarketCommand::Trade);
        QVERIFY(panel->isVisible() && panel->isLocked());

        // Leaving trading from the lock: the panel goes and trading asks for a login again.
        QTest::mouseClick(child<QWidget>(panel->lockWindow(), Lock_Detail_dlg::kExitTrading), Qt::LeftButton);
        QCOMPARE(m_boxes->texts().last(), QStringLiteral("是否确认退出交易"));
        QCOMPARE(m_boxes->calls().back().buttons, platform::MsgButtons::YesNo);
        QVERIFY(!Session::current().loggedIn());
        QTRY_VERIFY(!market->tradePanel());
        testsupport::run(market, testsupport::MarketCommand::QuickBuy);
        QVERIFY(market->loginDialog() && market->loginDialog()->isVisible());
        market->loginDialog()->hide();
        testsupport::run(market, testsupport::MarketCommand::Trade);
        QVERIFY(market->loginDialog()->isVisible());
        QVERIFY(!market->tradePanel());
    }

    // The panel's "闲置5分钟锁定" holds: minutes from the settings folder (0: never), counted
    // from the last input on a clock the test sets; and a closed panel leaves no pop-up.
    void idleMinutesLockThePanelAndAClosedPanelLeavesNoPopUp()
    {
        QCOMPARE(mainwnd::parseIdleMinutes(" 0\r\n"), std::optional<int>(0));
        for (const char* bad : {"", "-1", "5m", "1441", "99999999999999999999"})
            QCOMPARE(mainwnd::parseIdleMinutes(bad), std::nullopt);

        QVERIFY(client::writeWholeFile("idlelock", "2\n"));
        CVelmoraDlg login;
        auto* market = new Transaction_Dlg(&login);
        market->show();
        QTRY_VERIFY_WITH_TIMEOUT(market->tradePanel() && market->tradePanel()->isVisible(), 15000);
        Detail_Trans_Dlg* panel = market->tradePanel();
        qint64 now = 0;
        market->idleLock()->setClock([&] { return now; });
        testsupport::run(market, testsupport::MarketCommand::QuickBuy);
        QPointer<Buying_dlg> quickBuy = market->quickBuy();
        QVERIFY(quickBuy && quickBuy->isVisible());

        now = 119'000;
        market->idleLock()->check();
        QVERIFY(!panel->isLocked());
        QTest::keyClick(market, Qt::Key_Shift); // input starts the count again
        now = 200'000;
        market->idleLock()->check();
        QVERIFY(!panel->isLocked());
        now = 239'000;
        market->idleLock()->check();
        QVERIFY(panel->isLocked());
        QTRY_VERIFY(quickBuy.isNull());

        // Unlocked and a pop-up up again: closing the panel closes it.
        QTest::mouseClick(child<QWidget>(panel->lockWindow(), Lock_Detail_dlg::kExitTrading), Qt::LeftButton);
        QTRY_VERIFY(!market->tradePanel());
        logIn();
        testsupport::run(market, testsupport::MarketCommand::Trade);
        QTRY_VERIFY(market->tradePanel() && market->tradePanel()->isVisible());
        testsupport::run(market, testsupport::MarketCommand::QuickSell);
        QPointer<Selling_dlg> quickSell = market->quickSell();
        QVERIFY(quickSell && quickSell->isVisible());
        QTest::mouseClick(child<QWidget>(market->tradePanel(), Detail_Trans_Dlg::kClose), Qt::LeftButton);
        QTRY_VERIFY(quickSell.isNull());
    }

    void noExitWithoutYes()
    {
        Detail_Trans_Dlg& panel = openPanel();
        panel.lockPanel();
        m_boxes->setAnswer(platform::MsgResult::No);
        QPointer<Detail_Trans_Dlg> kept = &panel;
        panel.lockWindow()->onExitTrading();
        QCoreApplication::processEvents();
        QVERIFY(kept && panel.isLocked());
        QVERIFY(Session::current().loggedIn());
    }
};

QTEST_MAIN(TradePanelTest)
#include "TradePanelTest.moc"
