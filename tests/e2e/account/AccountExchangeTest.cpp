#include <memory>
#include <string>

#include <QTemporaryDir>
#include <QTest>

#include "app/CVelmoraDlg.h"
#include "app/Lock_Detail_dlg.h"
#include "app/LoginDlg.h"
#include "app/LoginRequest.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "controls/CButtonBMP.h"
#include "controls/CMyEdit.h"
#include "controls/JListCtrl.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/Transaction_Dlg.h"
#include "platform/Dialogs.h"
#include "support/MarketCommands.h"
#include "support/LoginByHand.h"
#include "support/LoopbackServer.h"
#include "support/TerminalOnExchange.h"
#include "support/Widgets.h"
#include "trade/AccountForms.h"
#include "trade/UsableCash.h"
#include "trade/low_Gold_Application_Dlg.h"
#include "trade/low_HistoryofGold_Dlg.h"
#include "trade/low_change_passd_dlg.h"

using platform::MsgResult;

namespace {

using testsupport::child;

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

} // namespace

// The account windows against the substitute exchange over real HTTP on this process's
// own loopback address, with the exchange's state in a database that outlives a restart.
class AccountExchangeTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void withdrawalShowsInTheCashHistoryAndUsableCashFalls();
    void passwordChangeHoldsForTheLockAndTheNextLogin();

private:
    void logIn(const std::string& account, const std::string& password);

    const std::string m_address = testsupport::UniqueLoopbackAddress(13);
    QTemporaryDir m_db;
    testsupport::TerminalOnExchange<Transaction_Dlg> m_terminal;
};

void AccountExchangeTest::initTestCase()
{
    QVERIFY(m_db.isValid());
    const std::string error =
        m_terminal.start(m_address, 13, 0, m_db.filePath(QStringLiteral("exchange.db")).toStdString());
    QVERIFY2(error.empty(), error.c_str());
    app::setCodeClock([] { return std::time_t(1700000000); });
}

void AccountExchangeTest::cleanupTestCase()
{
    app::setCodeClock(nullptr);
    Session::current().resetForTest();
}

// The user record as a login fills it, for the windows used on their own.
void AccountExchangeTest::logIn(const std::string& account, const std::string& password)
{
    const app::LoginOutcome outcome = app::RequestLogin(account, password);
    QVERIFY2(outcome.kind == app::LoginOutcome::Kind::Succeeded, outcome.message.c_str());
    Session::current().setUserRecord(outcome.record);
    Session::current().setLoggedIn(true);
}

void AccountExchangeTest::withdrawalShowsInTheCashHistoryAndUsableCashFalls()
{
    logIn("100002", "velmora");
    const double before = trade::QueryUsableCash();
    QVERIFY(before > 1000);

    low_Gold_Application_Dlg withdrawal(nullptr);
    withdrawal.show();
    withdrawal.amountEdit()->setFocus();
    QTest::keyClicks(withdrawal.amountEdit(), QStringLiteral("100.00"));
    platform::MessageBoxRecorder boxes(MsgResult::Yes);
    QTest::mouseClick(child<CButtonBMP>(&withdrawal, low_Gold_Application_Dlg::kSubmitButton), Qt::LeftButton);
    QCOMPARE(boxes.texts().size(), 2);
    QVERIFY2(boxes.texts()[1].startsWith(u("出金申请已提交")), qPrintable(boxes.texts()[1]));
    // Frozen at once: usable cash falls by the amount before the bank has paid anything.
    QCOMPARE(trade::QueryUsableCash(), before - 100);

    low_HistoryofGold_Dlg history(nullptr);
    history.show();
    history.query();
    JListCtrl* list = history.list();
    QVERIFY(list->rowCount() >= 2); // the opening deposit and the withdrawal, newest first
    QCOMPARE(list->cellText(0, 1), QStringLiteral("6217000010001234567"));
    QCOMPARE(list->cellText(0, 2), QStringLiteral("100.00"));
    QCOMPARE(list->cellText(0, 5), u("出金"));
    QCOMPARE(list->cellText(0, 6), u("未处理"));
    QCOMPARE(list->cellText(0, 7), u("否"));
    QCOMPARE(list->cellText(list->rowCount() - 1, 5), u("入金"));
    const int rows = list->rowCount();

    // More than the usable cash is refused with the service's reason, and nothing moves.
    boxes.clear();
    withdrawal.amountEdit()->setText(QString::number(before + 1, 'f', 2));
    withdrawal.withdraw();
    QCOMPARE(boxes.texts().last(), u("可用资金不足，出金失败"));
    QCOMPARE(trade::QueryUsableCash(), before - 100);

    // The withdrawal is the account's: it is still there after a restart, for the user who
    // logs in again (the exchange forgets every login when it stops).
    const std::string restarted = m_terminal.restartExchange();
    QVERIFY2(restarted.empty(), restarted.c_str());
    logIn("100002", "velmora");
    history.query();
    QCOMPARE(list->rowCount(), rows);
    QCOMPARE(list->cellText(0, 2), QStringLiteral("100.00"));
    QCOMPARE(list->cellText(0, 5), u("出金"));
    QCOMPARE(trade::QueryUsableCash(), before - 100);
    QCOMPARE(QString::fromStdString(m_terminal.exchange().audit()), QString());
}

void AccountExchangeTest::passwordChangeHoldsForTheLockAndTheNextLogin()
{
    platform::MessageBoxRecorder boxes(MsgResult::Yes);
    CVelmoraDlg login;
    login.show();
    testsupport::LogInDirectly(login, QStringLiteral("100001"), QStringLiteral("123456"));
    QVERIFY2(boxes.calls().empty(), qPrintable(boxes.texts().join(QLatin1Char('|'))));
    auto* market = qobject_cast<Transaction_Dlg*>(login.marketWindow());
    QVERIFY(market);
    QTRY_VERIFY_WITH_TIMEOUT(market->tradePanel() && market->tradePanel()->isVisible(), 20000);
    Detail_Trans_Dlg* panel = market->tradePanel();

    panel->choose(15);
    auto* password =
        qobject_cast<low_change_passd_dlg*>(panel->hostedWindow(Detail_Trans_Dlg::Hosted::ChangePassword));
    QVERIFY(password && password->isVisible());
    // An empty new password passes the window's checks; the service refuses it.
    password->oldPasswordEdit()->setText(QStringLiteral("123456"));
    password->save();
    QCOMPARE(boxes.texts(), QStringList({u("新密码不能为空")}));
    boxes.clear();
    password->newPasswordEdit()->setText(QStringLiteral("wine-2024"));
    password->confirmationEdit()->setText(QStringLiteral("wine-2024"));
    QTest::mouseClick(child<CButtonBMP>(password, low_change_passd_dlg::kSaveButton), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList({u(trade::kPasswordUpdated)}));

    // The lock now wants the new password.
    panel->lockPanel();
    Lock_Detail_dlg* lock = panel->lockWindow();
    boxes.clear();
    lock->accountBox()->setText(QStringLiteral("100001"));
    lock->passwordBox()->setText(QStringLiteral("123456"));
    lock->onUnlock();
    QCOMPARE(boxes.texts(), QStringList({u(Lock_Detail_dlg::kWrongCredentials)}));
    QVERIFY(panel->isLocked());

    // Leave trading from the lock; the trade command then asks for a login, where the old
    // password is refused and the new one lets the customer in.
    lock->onExitTrading();
    QVERIFY(!Session::current().loggedIn());
    QTRY_VERIFY(!market->tradePanel());
    testsupport::run(market, testsupport::MarketCommand::Trade);
    LoginDlg* relogin = market->loginDialog();
    QVERIFY(relogin && relogin->isVisible());
    boxes.clear();
    testsupport::LogInDirectly(*relogin, QStringLiteral("100001"), QStringLiteral("123456"));
    QCOMPARE(boxes.texts(), QStringList({u("密码错误")}));
    QVERIFY(!Session::current().loggedIn());
    boxes.clear();
    testsupport::LogInDirectly(*relogin, QStringLiteral("100001"), QStringLiteral("wine-2024"));
    QVERIFY2(boxes.calls().empty(), qPrintable(boxes.texts().join(QLatin1Char('|'))));
    QVERIFY(Session::current().loggedIn());
    QVERIFY(relogin->isHidden());

    // Trading again: the new panel's lock opens with the new password.
    testsupport::run(market, testsupport::MarketCommand::Trade);
    QTRY_VERIFY(market->tradePanel() && market->tradePanel()->isVisible());
    market->tradePanel()->lockPanel();
    market->tradePanel()->lockWindow()->accountBox()->setText(QStringLiteral("100001"));
    market->tradePanel()->lockWindow()->passwordBox()->setText(QStringLiteral("wine-2024"));
    market->tradePanel()->lockWindow()->onUnlock();
    QVERIFY(!market->tradePanel()->isLocked());
}

QTEST_MAIN(AccountExchangeTest)
#include "AccountExchangeTest.moc"
