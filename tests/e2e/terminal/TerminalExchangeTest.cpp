#include <memory>
#include <string>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Accounts.h"
#include "Exchange.h"
#include "Faults.h"
#include "HttpFront.h"
#include "app/CHtmlCtrl.h"
#include "app/CVelmoraDlg.h"
#include "app/MarketWindow.h"
#include "app/UserSession.h"
#include "app/VerificationCode.h"
#include "chart/CKBarCtrl.h"
#include "chart/ChartColour.h"
#include "client/Config.h"
#include "client/Options.h"
#include "controls/JListCtrl.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/Pollers.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/Platform.h"
#include "support/LoopbackServer.h"
#include "support/Pixels.h"
#include "support/TerminalSession.h"

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
    std::unique_ptr<exchange::Exchange> m_exchange;
    std::unique_ptr<exchange::Faults> m_faults;
    std::unique_ptr<exchange::HttpFront> m_front;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;

private slots:
    void initTestCase()
    {
        exchange::ExchangeConfig config;
        config.key = client::defaults::kSignKey;
        config.seed = 3;
        config.accounts = exchange::DemoAccounts();
        config.infoPageUrl = "http://" + m_address + ":8090/stockinfo/9160001.html";
        std::string error;
        m_exchange = exchange::Exchange::Create(config, error);
        QVERIFY2(m_exchange, error.c_str());
        m_exchange->simulate(200); // a market with a tape before the terminal looks
        m_faults = std::make_unique<exchange::Faults>();
        m_front = std::make_unique<exchange::HttpFront>(*m_exchange, *m_faults);
        QVERIFY2(m_front->start({m_address}, m_address, 8090, error), error.c_str());

        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        QVERIFY(QFile::copy(QStringLiteral(DATA_DIR "/currentlisttitle.txt"), QStringLiteral("currentlisttitle.txt")));
        QVERIFY(QFile::copy(QStringLiteral(DATA_DIR "/listtitle.txt"), QStringLiteral("listtitle.txt")));
        platform::setDataDirectory(m_dir->filePath(QStringLiteral("data")));
        platform::setWorkArea(QRect(0, 0, 1920, 1040));

        testsupport::pointTerminalAt(m_address);
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::No);
    }

    void cleanupTestCase()
    {
        app::setCodeClock(nullptr);
        app::setMarketWindowFactory(nullptr);
        m_front.reset();
        m_exchange.reset();
    }

    void customerLogsInAndWatchesTheMarket()
    {
        CVelmoraDlg login;
        login.show();
        QVERIFY(login.loginPermitted()); // the manifest names the running version
        Transaction_Dlg* market = testsupport::logIn(login);
        QVERIFY2(m_boxes->calls().empty(), qPrintable(m_boxes->texts().join(QLatin1Char('|'))));
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
