#include <memory>
#include <string>

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "app/Lock_Detail_dlg.h"
#include "session/Session.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/CButtonBMP.h"
#include "controls/CSkinEdit.h"
#include "controls/JListCtrl.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "market/core/Pollers.h"
#include "platform/Platform.h"
#include "support/LoopbackServer.h"
#include "support/PanelEntry.h"
#include "support/TradeReplies.h"
#include "support/Widgets.h"
#include "trade/AccountForms.h"
#include "trade/low_Gold_Application_Dlg.h"
#include "trade/low_Gold_Status_Dlg.h"
#include "trade/low_HistoryofGold_Dlg.h"
#include "trade/low_change_message_dlg.h"
#include "trade/low_change_passd_dlg.h"

using Hosted = Detail_Trans_Dlg::Hosted;
using testsupport::ClickPanelEntry;
using testsupport::CountPath;

namespace {

using testsupport::child;

} // namespace

// The withdrawal, details and password windows as the trade panel hosts them, and the
// screen lock after a password change, against a scripted trading service.
class AccountPanelTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        platform::setWorkArea(QRect(0, 0, 1920, 1040));
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        platform::setDataDirectory(m_dir.filePath(QStringLiteral("data")));
        m_trade = std::make_unique<testsupport::LoopbackServer>(m_host, client::kTradePort, m_script.handler());
        client::Options o = client::defaultOptions();
        o.line0Host = m_host;
        o.updateHost = m_host + ":1";
        Session::current().setOptions(o);
        client::LoadLineChoice();
    }

    void cleanupTestCase()
    {
        Session::current().resetForTest();
        QDir::setCurrent(m_oldCwd);
    }

    void init()
    {
        Session::current().resetForTest();
        UserRecord record;
        record.id = "100001";
        record.password = "pass1234";
        record.account = "6217000010001234567";
        Session::current().setUserRecord(record);
        Session::current().setLoggedIn(true);
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::Yes);
        m_owner = std::make_unique<QWidget>();
        m_panel = new Detail_Trans_Dlg(m_owner.get());
        m_panel->show();
    }

    void cleanup()
    {
        m_owner.reset();
        m_boxes.reset();
    }

    void theAccountEntriesShowTheirWindowsAndAskNothing()
    {
        const size_t before = m_trade->requestCount();
        ClickPanelEntry(*m_panel, 5);
        auto* withdrawal = qobject_cast<low_Gold_Application_Dlg*>(m_panel->hostedWindow(Hosted::WithdrawalApplication));
        QVERIFY(withdrawal && withdrawal->isVisible());
        ClickPanelEntry(*m_panel, 7);
        QVERIFY(qobject_cast<low_Gold_Status_Dlg*>(m_panel->hostedWindow(Hosted::WithdrawalStatus))->isVisible());
        QVERIFY(!withdrawal->isVisible());
        ClickPanelEntry(*m_panel, 8);
        auto* history = qobject_cast<low_HistoryofGold_Dlg*>(m_panel->hostedWindow(Hosted::WithdrawalHistory));
        QVERIFY(history && history->isVisible());
        QCOMPARE(history->geometry(), m_panel->hostedPlace(Hosted::WithdrawalHistory));
        QVERIFY(history->list()->geometry().bottom() < history->height());
        ClickPanelEntry(*m_panel, 16);
        auto* details = qobject_cast<low_change_message_dlg*>(m_panel->hostedWindow(Hosted::ChangeDetails));
        QVERIFY(details && details->isVisible() && !details->isReadOnly());
        ClickPanelEntry(*m_panel, 15);
        QVERIFY(qobject_cast<low_change_passd_dlg*>(m_panel->hostedWindow(Hosted::ChangePassword))->isVisible());
        QCOMPARE(m_trade->requestCount(), before); // shown only: none of them asks the service
        QVERIFY(m_boxes->calls().empty());

        QDir().mkpath(QStringLiteral(RENDER_DIR));
        for (const auto& [function, name] : {std::pair{6, "withdrawal"}, {7, "withdrawal-status"},
                                             {8, "cash-history"}, {15, "password"}, {16, "details"}}) {
            ClickPanelEntry(*m_panel, function);
            m_panel->grab().save(QStringLiteral(RENDER_DIR "/panel-%1.png").arg(QLatin1String(name)));
        }
    }

    void afterAPasswordChangeTheLockNeedsTheNewPassword()
    {
        ClickPanelEntry(*m_panel, 15);
        auto* password = qobject_cast<low_change_passd_dlg*>(m_panel->hostedWindow(Hosted::ChangePassword));
        QVERIFY(password);
        m_script.set("/api/v1/user/update_passwd", R"({"success":"true","msg":"密码修改成功"})");
        password->oldPasswordEdit()->setText(QStringLiteral("pass1234"));
        password->newPasswordEdit()->setText(QStringLiteral("n3w-pass"));
        password->confirmationEdit()->setText(QStringLiteral("n3w-pass"));
        QTest::mouseClick(child<CButtonBMP>(password, low_change_passd_dlg::kSaveButton), Qt::LeftButton);
        QCOMPARE(m_boxes->texts(), QStringList({QString::fromUtf8(trade::kPasswordUpdated)}));
        QCOMPARE(CountPath(*m_trade, "/api/v1/user/update_passwd"), 1u);

        // Choosing the entry again empties the three boxes.
        ClickPanelEntry(*m_panel, 15);
        QVERIFY(password->oldPasswordEdit()->text().isEmpty());
        QVERIFY(password->newPasswordEdit()->text().isEmpty());
        QVERIFY(password->confirmationEdit()->text().isEmpty());

        m_panel->lockPanel();
        Lock_Detail_dlg* lock = m_panel->lockWindow();
        QVERIFY(m_panel->isLocked());
        m_boxes->clear();
        lock->accountBox()->setText(QStringLiteral("100001"));
        lock->passwordBox()->setText(QStringLiteral("pass1234"));
        lock->onUnlock();
        QCOMPARE(m_boxes->texts(), QStringList({QString::fromUtf8(Lock_Detail_dlg::kWrongCredentials)}));
        QVERIFY(m_panel->isLocked());
        lock->passwordBox()->setText(QStringLiteral("n3w-pass"));
        lock->onUnlock();
        QVERIFY(!m_panel->isLocked());
    }

private:
    const std::string m_host = testsupport::UniqueLoopbackAddress(14);
    QTemporaryDir m_dir;
    QString m_oldCwd;
    testsupport::TradeScript m_script;
    std::unique_ptr<testsupport::LoopbackServer> m_trade;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
    std::unique_ptr<QWidget> m_owner;
    Detail_Trans_Dlg* m_panel = nullptr;
};

QTEST_MAIN(AccountPanelTest)
#include "AccountPanelTest.moc"
