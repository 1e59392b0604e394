// The terminal logged in against a running velmora-exchange, switching views and candle
// periods at a brisk pace, for scripts/soak.sh to watch from outside (memory and CPU).
// usage: velmora_soak --host ADDR [--seconds N] [--step-ms MS] [--workdir DIR]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

#include "app/CVelmoraDlg.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/Pollers.h"
#include "platform/Platform.h"
#include "support/TerminalSession.h"

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
    case 0: market->command(Transaction_Dlg::IDC_OVERVIEW); break;
    case 1: market->command(Transaction_Dlg::ID_EXTENDED_LIST); break;
    case 2: market->command(Transaction_Dlg::IDC_TOOL_TIMESHARE); break;
    case 3:
    case 6:
        market->command(Transaction_Dlg::IDC_TOOL_KLINE);
        QTest::mouseClick(market, Qt::LeftButton, {}, market->periodCell(period).center());
        period = (period + 1) % Transaction_Dlg::kPeriodCount;
        break;
    case 4: market->command(Transaction_Dlg::ID_TICK_LIST); break;
    case 5: market->command(Transaction_Dlg::ID_PRICE_TABLE); break;
    case 7: market->command(Transaction_Dlg::IDC_TOOL_INFO); break;
    }
    market->refresh();
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
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, market, [&] { step(market, steps++); });
    pace.start(args.stepMs);
    QTimer::singleShot(args.seconds * 1000, &app, [&] {
        std::printf("velmora_soak: %d steps, %zu message boxes, usable cash %.2f\n", steps, boxes.calls().size(),
                    double(market::AvailableCash()));
        std::fflush(stdout);
        std::_Exit(0); // the pollers need no orderly end for a measurement
    });
    app.exec();
    return 0;
}
