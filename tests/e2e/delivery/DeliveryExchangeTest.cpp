#include <filesystem>
#include <memory>
#include <string>

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "Exchange.h"
#include "Faults.h"
#include "HttpFront.h"
#include "app/LoginRequest.h"
#include "session/Session.h"
#include "session/Config.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/CButtonBMP.h"
#include "controls/CSkinEdit.h"
#include "controls/JListCtrl.h"
#include "controls/cMyTreeCtrl.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "platform/WorkArea.h"
#include "support/LoopbackServer.h"
#include "support/Widgets.h"
#include "trade/low_Delivery_Application_Dlg.h"
#include "trade/low_Delivery_Query_Dlg.h"
#include "trade/low_Financial_Position_Dlg.h"

using Dlg = low_Delivery_Application_Dlg;
using Hosted = Detail_Trans_Dlg::Hosted;
using testsupport::clickTreeItem;
using testsupport::child;
using testsupport::renderIfAsked;

namespace {

// The row of the positions list for an item, or -1.
int positionRow(const JListCtrl& positions, const QString& code)
{
    for (int r = 0; r < positions.rowCount(); ++r) {
        if (positions.cellText(r, 1) == code)
            return r;
    }
    return -1;
}

} // namespace

// The delivery windows of a logged-in customer, through the trade panel, against the substitute exchange over real
// HTTP on this process's own loopback address, its state kept in a database.
class DeliveryExchangeTest final : public QObject
{
    Q_OBJECT

private:
    void startExchange()
    {
        exchange::ExchangeConfig config;
        config.key = client::defaults::kSignKey;
        config.seed = 5;
        config.accounts = exchange::DemoAccounts();
        config.dbPath = m_dir.filePath(QStringLiteral("exchange.db")).toStdString();
        std::string error;
        m_exchange = exchange::Exchange::Create(config, error);
        QVERIFY2(m_exchange, error.c_str());
        m_faults = std::make_unique<exchange::Faults>();
        m_front = std::make_unique<exchange::HttpFront>(*m_exchange, *m_faults);
        QVERIFY2(m_front->start({m_address}, m_address, 8090, error), error.c_str());
    }
    void stopExchange()
    {
        m_front.reset();
        m_faults.reset();
        m_exchange.reset();
    }
    // As the login window does it: the request, then the user record.
    static void logIn()
    {
        const app::LoginOutcome login = app::RequestLogin("100001", "123456");
        QCOMPARE(int(login.kind), int(app::LoginOutcome::Kind::Succeeded));
        Session::current().setUserRecord(login.record);
        Session::current().setLoggedIn(true);
    }
    static void fill(Dlg& window, const char* quantity)
    {
        window.codeField()->setText(QStringLiteral("9160001"));
        window.quantityField()->setText(QString::fromLatin1(quantity));
        window.addressField()->setPlainText(QStringLiteral("上海市黄浦区南京东路1号"));
        window.consigneeField()->setText(QStringLiteral("王小明"));
    }
    // What the code field's holding shows once the field is left.
    QString holdingAfterLeaving(Dlg& window)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(window.codeField(), &out);
        return window.holdingText();
    }

    std::string m_address = testsupport::UniqueLoopbackAddress(13);
    QTemporaryDir m_dir;
    std::unique_ptr<exchange::Exchange> m_exchange;
    std::unique_ptr<exchange::Faults> m_faults;
    std::unique_ptr<exchange::HttpFront> m_front;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        platform::setWorkArea(QRect(0, 0, 1920, 1040));
        client::Options o = client::defaultOptions();
        o.line0Host = m_address;
        Session::current().setOptions(o);
        client::LoadLineChoice(std::filesystem::path(m_dir.filePath(QStringLiteral("connect")).toStdString()));
        startExchange();
        logIn();
    }

    void cleanupTestCase()
    {
        stopExchange();
        Session::current().resetForTest();
    }

    void deliveryOfTwentyUnitsIsListedAndTheHoldingFalls()
    {
        platform::MessageBoxRecorder boxes;
        QWidget market; // stands in for the market window that owns the panel
        auto* panel = new Detail_Trans_Dlg(&market);
        panel->show();
        auto choose = [&](int function) { clickTreeItem(panel->tree(), panel->entry(function)); };

        choose(4); // 交割申请
        auto* application = qobject_cast<Dlg*>(panel->hostedWindow(Hosted::DeliveryApplication));
        QVERIFY(application && application->isVisible());
        QCOMPARE(application->list()->rowCount(), 0); // reloaded on the choice: nothing applied yet
        QTest::keyClicks(application->codeField(), QStringLiteral("9160001"));
        QCOMPARE(holdingAfterLeaving(*application), QStringLiteral("2000"));
        QTest::keyClicks(application->quantityField(), QStringLiteral("20"));
        application->datePicker()->setDate(QDate::currentDate().addDays(1));
        application->addressField()->setPlainText(QStringLiteral("上海市黄浦区南京东路1号"));
        application->consigneeField()->setText(QStringLiteral("王小明")); // QTest types ASCII only
        QTest::mouseClick(child<CButtonBMP>(application, Dlg::kApplyButton), Qt::LeftButton);
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY2(boxes.texts().front().startsWith(QStringLiteral("交割申请已提交")), qPrintable(boxes.texts().front()));
        QCOMPARE(holdingAfterLeaving(*application), QStringLiteral("1980"));
        QTest::mouseClick(child<QWidget>(panel, Detail_Trans_Dlg::kRefresh), Qt::LeftButton);
        QCOMPARE(application->list()->rowCount(), 1);
        renderIfAsked(*panel, "e2e-panel-delivery-application");

        choose(14); // 交割查询
        auto* query = qobject_cast<low_Delivery_Query_Dlg*>(panel->hostedWindow(Hosted::DeliveryQuery));
        QVERIFY(query && query->isVisible());
        JListCtrl& listed = *query->list();
        QCOMPARE(listed.rowCount(), 1);
        QCOMPARE(listed.cellText(0, 1), QStringLiteral("9160001"));
        QCOMPARE(listed.cellText(0, 3), QStringLiteral("邮寄"));
        QCOMPARE(listed.cellText(0, 4), QStringLiteral("20"));
        QCOMPARE(listed.cellText(0, 5), QStringLiteral("已申请交割"));
        QCOMPARE(listed.cellText(0, 6), QStringLiteral("王小明"));
        QCOMPARE(listed.cellText(0, 7), QStringLiteral("上海市黄浦区南京东路1号"));
        renderIfAsked(*panel, "e2e-panel-delivery-query");

        choose(10); // 资金持仓: the holding fell by what is to be delivered
        auto* funds = qobject_cast<low_Financial_Position_Dlg*>(panel->hostedWindow(Hosted::Funds));
        QVERIFY(funds && funds->isVisible());
        const int row = positionRow(*funds->positionsList(), QStringLiteral("9160001"));
        QVERIFY(row >= 0);
        QCOMPARE(funds->positionsList()->cellText(row, 4), QStringLiteral("20"));   // frozen for the delivery
        QCOMPARE(funds->positionsList()->cellText(row, 5), QStringLiteral("1980")); // sellable
        renderIfAsked(*panel, "e2e-panel-funds");

        // Refused by the terminal: nothing goes out. Refused by the exchange: its message.
        choose(4);
        QVERIFY(application->codeField()->text().isEmpty()); // the choice emptied the form
        boxes.clear();
        fill(*application, "30");
        application->apply();
        fill(*application, "4000");
        application->apply();
        QCOMPARE(boxes.texts(), QStringList({QStringLiteral("交割数量须是20的倍数"),
                                             QStringLiteral("可交割数量不足，当前可交割1980")}));
        // A second application of 40, by pickup, and the refresh button on the query.
        fill(*application, "40");
        QTest::mouseClick(application, Qt::LeftButton, {}, Dlg::kPickupTab.center());
        application->apply();
        choose(14);
        QCOMPARE(listed.rowCount(), 2);
        QCOMPARE(listed.cellText(0, 3), QStringLiteral("自提")); // newest first
        QCOMPARE(listed.cellText(0, 7), QString::fromStdString(Session::current().options().pickupAddress));
        delete panel;
    }

    // The user logs in again after the restart: the exchange forgets its logins when it stops.
    void theApplicationOutlivesARestartOfTheExchange()
    {
        stopExchange();
        startExchange();
        logIn();
        platform::MessageBoxRecorder boxes;
        low_Delivery_Query_Dlg query(nullptr);
        query.refresh();
        QCOMPARE(query.list()->rowCount(), 2);
        QCOMPARE(query.list()->cellText(1, 4), QStringLiteral("20"));
        Dlg application(nullptr);
        application.codeField()->setText(QStringLiteral("9160001"));
        QCOMPARE(holdingAfterLeaving(application), QStringLiteral("1940"));
        QVERIFY(boxes.calls().empty());
        QCOMPARE(QString::fromStdString(m_exchange->audit()), QString());
    }
};

QTEST_MAIN(DeliveryExchangeTest)
#include "DeliveryExchangeTest.moc"
