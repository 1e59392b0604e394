// The terminal logged in against a running velmora-exchange, switching views and candle
// periods and walking the trade panel's windows at a brisk pace, with a small order now and
// then, for scripts/soak.sh to watch from outside (memory and CPU).
// usage: velmora_soak --host ADDR [--seconds N] [--step-ms MS] [--workdir DIR]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "app/CVelmoraDlg.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/core/Pollers.h"
#include "market/SingleItemQuote.h"
#include "platform/Platform.h"
#include "support/MarketCommands.h"
#include "support/TerminalSession.h"
#include "trade/low_deal_buy_dlg.h"
#include "trade/low_deal_sell_dlg.h"
#include "session/Session.h"

namespace {

struct Arguments
{
    std::string host = "127.0.0.1";
    int seconds = 60;
    int stepMs = 700;
    std::string workDir;
};

Arguments parse(int argc, char** argv)
{
    Arguments a;
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* name = argv[i];
        const char* value = argv[i + 1];
        if (!std::strcmp(name, "--host"))
            a.host = value;
        else if (!std::strcmp(name, "--seconds"))
            a.seconds = std::atoi(value);
        else if (!std::strcmp(name, "--step-ms"))
            a.stepMs = std::max(50, std::atoi(value));
        else if (!std::strcmp(name, "--workdir"))
            a.workDir = value;
    }
    return a;
}

// One step of the round: every view the market window has, the K-line in each period.
void step(Transaction_Dlg* market, int n)
{
    static int period = 0;
    switch (n % 8) {
    case 0: testsupport::run(market, testsupport::MarketCommand::Overview); break;
    case 1: testsupport::run(market, testsupport::MarketCommand::ExtendedList); break;
    case 2: testsupport::run(market, testsupport::MarketCommand::Timeshare); break;
    case 3:
    case 6:
        testsupport::run(market, testsupport::MarketCommand::Kline);
        QTest::mouseClick(market, Qt::LeftButton, {}, market->periodCell(period).center());
        period = (period + 1) % Transaction_Dlg::kPeriodCount;
        break;
    case 4: testsupport::run(market, testsupport::MarketCommand::Ticks); break;
    case 5: testsupport::run(market, testsupport::MarketCommand::PriceTable); break;
    case 7: testsupport::run(market, testsupport::MarketCommand::Information); break;
    }
    market->refresh();
}

// The trade panel's entries a user walks: buy, sell, cancel and the queries.
constexpr int kPanelWalk[] = {1, 2, 3, 10, 11, 12, 13, 14, 7, 8};

struct Orders
{
    int placed = 0;
    int answered = 0; // the service's msg was shown
    size_t boxes = 0; // the boxes the orders showed
};

// A unit of the item at the best opposite price, so that buys and sells fill and the
// holding stays small; the question answered Yes.
template <class Window>
void placeSmallOrder(Window& window, bool buy, platform::MessageBoxRecorder& boxes, Orders& orders)
{
    const market::SingleItemQuote quote = Session::current().singleItemQuote();
    const double price = buy ? quote.firstPrices[0] : quote.secondPrices[0];
    window.codeField()->setText(QStringLiteral("9160001"));
    window.priceField()->setText(QString::asprintf("%.2f", price));
    window.quantityField()->setText(QStringLiteral("1"));
    const size_t before = boxes.calls().size();
    boxes.setAnswer(platform::MsgResult::Yes);
    window.placeOrder();
    boxes.setAnswer(platform::MsgResult::No);
    const size_t shown = boxes.calls().size() - before;
    ++orders.placed;
    orders.answered += shown == 2; // the question, then the service's answer
    orders.boxes += shown;
}

// One step in the trade panel: the next entry of the walk, and on every other round an order
// in the buy and in the sell window while it is up.
void panelStep(Detail_Trans_Dlg* panel, int n, platform::MessageBoxRecorder& boxes, Orders& orders)
{
    const int round = n / int(std::size(kPanelWalk));
    const int function = kPanelWalk[n % int(std::size(kPanelWalk))];
    panel->choose(function);
    if (round % 2 != 0)
        return;
    if (auto* buy = qobject_cast<low_deal_buy_dlg*>(panel->hostedWindow(Detail_Trans_Dlg::Hosted::Buy));
        buy && function == 1)
        placeSmallOrder(*buy, true, boxes, orders);
    if (auto* sell = qobject_cast<low_deal_sell_dlg*>(panel->hostedWindow(Detail_Trans_Dlg::Hosted::Sell));
        sell && function == 2)
        placeSmallOrder(*sell, false, boxes, orders);
}

} // namespace

int main(int argc, char** argv)
{
    const Arguments args = parse(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!args.workDir.empty())
        QDir::setCurrent(QString::fromStdString(args.workDir));
    platform::setDataDirectory(QDir::current().filePath(QStringLiteral("data")));
    platform::setWorkArea(QRect(0, 0, 1920, 1040));
    testsupport::pointTerminalAt(args.host);
    platform::MessageBoxRecorder boxes(platform::MsgResult::No);

    CVelmoraDlg login;
    Transaction_Dlg* market = testsupport::logIn(login);
    if (!market) {
        std::fprintf(stderr, "velmora_soak: login failed: %s\n", qPrintable(boxes.texts().join(QLatin1Char('|'))));
        return 1;
    }
    market->show();

    int steps = 0;
    Orders orders;
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, market, [&] {
        if (Detail_Trans_Dlg* panel = market->tradePanel())
            panelStep(panel, steps, boxes, orders);
        step(market, steps++);
    });
    pace.start(args.stepMs);
    QTimer::singleShot(args.seconds * 1000, &app, [&] {
        std::printf("velmora_soak: %d steps, %d orders placed, %d answered, %zu other message boxes, usable cash "
                    "%.2f\n",
                    steps, orders.placed, orders.answered, boxes.calls().size() - orders.boxes,
                    Session::current().availableCash());
        std::fflush(stdout);
        std::_Exit(0); // the pollers need no orderly end for a measurement
    });
    app.exec();
    return 0;
}
