#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "client/Options.h"
#include "client/ServerLine.h"
#include "platform/Notices.h"
#include "platform/Platform.h"
#include "session/Session.h"
#include "support/LoopbackServer.h"
#include "support/SignedIn.h"
#include "trade/FillNotices.h"

namespace {

std::string tradesReply(const std::vector<int>& tradeNos)
{
    std::string rows;
    for (const int no : tradeNos)
        rows += std::string(rows.empty() ? "" : ",") + R"({"trade_no":)" + std::to_string(no)
                + R"(,"stock_id":9160001,"name":"Tolmere","direction":)" + (no % 2 ? "0" : "1")
                + R"(,"deal_price":36.2,"dealed_amount":10,"trade_time":1709629507})";
    return R"({"success":"true","msg":"","infor":[)" + rows + "]}";
}

// The freedesktop notification service, as a desktop runs it, on a bus of the test's own.
class FakeNotifications final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList received;

public slots:
    uint Notify(const QString& app, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int timeout)
    {
        received << app + "|" + summary + "|" + body + "|" + QString::number(timeout);
        return uint(received.size());
    }
};

} // namespace

// Fill notices against a scripted trading service: what is told, once, and where it shows.
class FillNoticesTest final : public QObject
{
    Q_OBJECT

    std::string m_host = testsupport::UniqueLoopbackAddress(35);
    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::unique_ptr<testsupport::LoopbackServer> m_trade;
    std::mutex m_replyLock;
    std::string m_reply;
    std::unique_ptr<QWidget> m_window;
    platform::Notices* m_notices = nullptr;
    std::unique_ptr<trade::FillNotices> m_fills;
    int m_sounds = 0;

    void setReply(const std::string& reply)
    {
        std::lock_guard lock(m_replyLock);
        m_reply = reply;
    }
    // One poll, answered.
    void pollNow()
    {
        const std::size_t before = m_trade->requestCount();
        m_fills->poll();
        QVERIFY(m_trade->waitForRequests(before + 1, 5000));
        QVERIFY(m_fills->poller()->waitIdle(5000));
        QCoreApplication::processEvents(); // the hand-over to this thread
    }
    platform::NoticeWindow* notice() const { return m_notices->window(); }

private slots:
    void initTestCase()
    {
        platform::setWorkArea(QRect(0, 0, 1920, 1040));
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        m_trade = std::make_unique<testsupport::LoopbackServer>(m_host, client::kTradePort, [this](const auto&) {
            std::lock_guard lock(m_replyLock);
            testsupport::ScriptedReply r;
            r.body = m_reply;
            return r;
        });
        client::Options o = client::defaultOptions();
        o.line0Host = m_host;
        o.updateHost = m_host + ":1";
        Session::current().setOptions(o);
        client::LoadLineChoice();
    }

    void cleanupTestCase()
    {
        m_trade.reset();
        QDir::setCurrent(m_oldCwd);
    }

    void init()
    {
        Session::current().resetForTest();
        QFile::remove(QString::fromLatin1(platform::kNoticesFile));
        m_window = std::make_unique<QWidget>();
        m_window->show();
        m_notices = new platform::Notices(m_window.get());
        m_notices->setSound([this] { ++m_sounds; });
        m_notices->setDesktop(platform::DesktopNotifier(QStringLiteral("no-bus-here")));
        m_sounds = 0;
        m_fills = std::make_unique<trade::FillNotices>(*m_notices, nullptr);
        QVERIFY(m_fills->start());
        m_fills->pollTimer()->stop(); // the test polls
    }

    void cleanup()
    {
        m_fills.reset();
        m_window.reset();
    }

    void aNewFillIsToldOnceWithoutTakingTheFocus()
    {
        QCOMPARE(m_fills->pollTimer()->interval(), 3000);
        setReply(tradesReply({1, 2}));
        const std::size_t before = m_trade->requestCount();
        m_fills->poll(); // a visitor is not polled
        QVERIFY(m_fills->poller()->waitIdle(5000));
        QCOMPARE(m_trade->requestCount(), before);
        testsupport::logInAs("100001");
        pollNow();
        QVERIFY(!notice() || !notice()->isVisible()); // the morning's trades raise nothing

        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        setReply(tradesReply({1, 2, 3, 4}));
        pollNow();
        QVERIFY(notice() && notice()->isVisible());
        QCOMPARE(notice()->title(), QStringLiteral("成交回报"));
        QCOMPARE(notice()->lines().size(), 2); // two fills, one notice
        QVERIFY(notice()->lines().contains(QStringLiteral("买 9160001 Tolmere 36.20 × 10 ") + notice()->lines()[1].right(8)));
        QVERIFY(notice()->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(notice()->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        QCOMPARE(QApplication::activeWindow(), m_window.get());
        // At the foot of the work area's right side, above the status band.
        QCOMPARE(notice()->geometry().right(), 1920 - 3);
        QCOMPARE(notice()->geometry().bottom(), 1040 - 29 - 3);
        QCOMPARE(m_sounds, 0); // sound is off unless switched on
        QCOMPARE(m_fills->told().size(), std::size_t(2));

        const QRect at = notice()->geometry();
        pollNow(); // the same trades again
        QCOMPARE(m_fills->told().size(), std::size_t(2));
        QCOMPARE(notice()->geometry(), at);

        // Gone after its time, or at a click.
        QCOMPARE(notice()->lifeTimer()->interval(), platform::NoticeWindow::kLifeMs);
        QVERIFY(notice()->lifeTimer()->isActive());
        notice()->lifeTimer()->start(1);
        QTRY_VERIFY(!notice()->isVisible());
        setReply(tradesReply({1, 2, 3, 4, 5}));
        pollNow();
        QVERIFY(notice()->isVisible());
        QCOMPARE(notice()->lines().size(), 1);
        QTest::mouseClick(notice(), Qt::LeftButton);
        QVERIFY(!notice()->isVisible());
    }

    void unreadableRepliesAndLoginsNeitherFloodNorLose()
    {
        testsupport::logInAs("100001");
        setReply(tradesReply({1}));
        pollNow();
        for (const char* bad : {"", "<html>bad gateway</html>", R"({"success":"false","msg":"系统繁忙"})"}) {
            setReply(bad);
            pollNow();
        }
        QVERIFY(m_fills->told().empty());
        setReply(tradesReply({1, 2}));
        pollNow();
        QCOMPARE(m_fills->told().size(), std::size_t(1));

        // Out, and in as another account: its trades so far are not news.
        Session::current().setLoggedIn(false);
        m_fills->poll();
        testsupport::logInAs("100002");
        setReply(tradesReply({7, 8, 9}));
        pollNow();
        QVERIFY(m_fills->told().empty());
        const std::vector<testsupport::RecordedRequest> requests = m_trade->requests();
        QCOMPARE(requests.back().path, std::string("/api/v1/trade/today"));
        QVERIFY(requests.back().body.find("\"id\" : \"100002\"") != std::string::npos);
        setReply(tradesReply({7, 8, 9, 10}));
        pollNow();
        QCOMPARE(m_fills->told().size(), std::size_t(1));
        QCOMPARE(m_fills->told().front().tradeNo, 10);
    }

    void theWindowListsTheFillsAndKeepsTheSwitches()
    {
        testsupport::logInAs("100001");
        setReply(tradesReply({}));
        pollNow();
        setReply(tradesReply({1, 2}));
        pollNow();
        trade::FillNoticesDlg dlg(*m_fills, m_window.get());
        dlg.show();
        QTest::mouseClick(notice(), Qt::LeftButton);
        QCOMPARE(dlg.list()->topLevelItemCount(), 2);
        QCOMPARE(dlg.list()->topLevelItem(0)->text(1), QStringLiteral("卖")); // the newest first
        QVERIFY(dlg.fillsSwitch()->isChecked() && dlg.desktopSwitch()->isChecked() && !dlg.soundSwitch()->isChecked());

        dlg.soundSwitch()->click();
        dlg.fillsSwitch()->click();
        QVERIFY(QFile::exists(QString::fromLatin1(platform::kNoticesFile)));
        setReply(tradesReply({1, 2, 3}));
        pollNow();
        QVERIFY(!notice() || !notice()->isVisible()); // switched off: listed, not shown
        QCOMPARE(dlg.list()->topLevelItemCount(), 3);
        dlg.fillsSwitch()->click();
        setReply(tradesReply({1, 2, 3, 4}));
        pollNow();
        QVERIFY(notice()->isVisible());
        QCOMPARE(m_sounds, 1);

        // The next start takes them up.
        platform::Notices again(m_window.get());
        QCOMPARE(again.settings(), (platform::NoticeSettings{true, true, true}));
    }

    void aBrokenSettingsFileIsNamedOnceAndLeftAlone()
    {
        QFile file(QString::fromLatin1(platform::kNoticesFile));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"sound\": \"loud\"}");
        file.close();
        platform::MessageBoxRecorder boxes(platform::MsgResult::Ok);
        platform::Notices notices(m_window.get());
        QCOMPARE(boxes.calls().size(), std::size_t(1));
        QVERIFY(boxes.texts().front().contains(QDir(m_dir.path()).absoluteFilePath(QString::fromLatin1(platform::kNoticesFile))));
        QCOMPARE(notices.settings(), platform::NoticeSettings{});
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("{\"sound\": \"loud\"}"));
    }

    void theDesktopIsToldWhereItListensAndNothingBreaksWhereNot()
    {
        // No bus at all: the notice still shows.
        QDBusConnection dead = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                             QStringLiteral("dead-bus"));
        QVERIFY(!dead.isConnected());
        QVERIFY(!platform::DesktopNotifier(QStringLiteral("dead-bus")).notify("a", "b"));
        m_notices->setDesktop(platform::DesktopNotifier(QStringLiteral("dead-bus")));
        m_notices->tell(QStringLiteral("成交回报"), {QStringLiteral("买 9160001")});
        QVERIFY(notice()->isVisible());

        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("no dbus-daemon on this machine");
        QProcess bus;
        bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        QVERIFY(bus.waitForStarted());
        QTRY_VERIFY(bus.canReadLine());
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        {
            QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("notice-service"));
            QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("notice-client"));
            QVERIFY(service.isConnected() && client.isConnected());
            // A bus without the service: sent, unanswered, nothing waits.
            QVERIFY(platform::DesktopNotifier(QStringLiteral("notice-client")).notify("a", "b"));
            FakeNotifications desktop;
            QVERIFY(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
            QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &desktop,
                                           QDBusConnection::ExportAllSlots));
            m_notices->setDesktop(platform::DesktopNotifier(QStringLiteral("notice-client")));
            m_notices->tell(QStringLiteral("成交回报"), {QStringLiteral("买 9160001"), QStringLiteral("卖 9160002")});
            QTRY_COMPARE(desktop.received.size(), 1);
            QCOMPARE(desktop.received.front(), QStringLiteral("Velmora|成交回报|买 9160001\n卖 9160002|8000"));
            // Switched off, the desktop hears nothing.
            m_notices->setSettings({true, false, false});
            m_notices->tell(QStringLiteral("成交回报"), {QStringLiteral("买 9160003")});
            QTest::qWait(0);
            QCOMPARE(desktop.received.size(), 1);
            service.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("notice-service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("notice-client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("dead-bus"));
        bus.terminate();
        QVERIFY(bus.waitForFinished(5000));
    }
};

QTEST_MAIN(FillNoticesTest)
#include "FillNoticesTest.moc"
