#include <ctime>
#include <memory>
#include <string>

#include <QDir>
#include <QLineEdit>
#include <QTest>

#include "app/CHtmlCtrl.h"
#include "app/CVelmoraDlg.h"
#include "app/UserSession.h"
#include "chart/CKBarCtrl.h"
#include "chart/ChartColour.h"
#include "controls/JListCtrl.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/Pollers.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/Platform.h"
#include "support/LoopbackServer.h"
#include "support/LoginByHand.h"
#include "support/Pixels.h"
#include "support/TerminalOnExchange.h"

namespace {

template <class T> T* child(QWidget* w, int id) { return w->findChild<T*>(QString::number(id)); }

// Pixels of either colour inside a chart's plot, clear of the value and percentage labels
// on both sides: its candles or volume bars.
int inkOf(const QImage& image, chart::Colour a, chart::Colour b)
{
    const QRect plot(50, 30, image.width() - 120, image.height() - 60);
    return testsupport::CountColour(image, plot, chart::ToQColor(a)) +
           testsupport::CountColour(image, plot, chart::ToQColor(b));
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
        QVERIFY(UserSession::instance().loggedIn());
        auto* market = qobject_cast<Transaction_Dlg*>(login.marketWindow());
        QVERIFY(market);

        // The overview fills with every item the exchange lists.
        QTRY_VERIFY_WITH_TIMEOUT(market->basicList()->rowCount() >= 13, 15000);
        // The usable cash arrives from the poller.
        QTRY_VERIFY_WITH_TIMEOUT(market::AvailableCash() > 0.0f, 15000);
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        market->grab().save(QStringLiteral(RENDER_DIR "/overview.png"));

        market->command(Transaction_Dlg::IDC_TOOL_KLINE);
        QTRY_VERIFY_WITH_TIMEOUT(
            inkOf(market->klineChart()->Snapshot(), chart::kCandleRise, chart::kCandleFall) > 100, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(market->quotePanel()->openingPrice() > 0.0f, 15000);
        market->grab().save(QStringLiteral(RENDER_DIR "/kline.png"));

        market->command(Transaction_Dlg::IDC_TOOL_TIMESHARE);
        // The day so far: at least the volume bar of the minute the trades fell in.
        QTRY_VERIFY_WITH_TIMEOUT(
            inkOf(market->timeshareChart()->Snapshot(), chart::kRiseColour, chart::kFallColour) > 0, 15000);
        market->grab().save(QStringLiteral(RENDER_DIR "/timeshare.png"));

        market->command(Transaction_Dlg::IDC_TOOL_INFO);
        QVERIFY(market->infoPage()->isVisible());
        QVERIFY(!market->infoPage()->toPlainText().isEmpty());
        QVERIFY(m_boxes->calls().empty());
    }
};

QTEST_MAIN(TerminalExchangeTest)
#include "TerminalExchangeTest.moc"
