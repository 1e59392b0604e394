// The terminal's own CPU while it sits logged in on the time-share view, polling a running
// velmora-exchange: usage: terminal_idle_bench [--host ADDR] [--seconds N]
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

#include "app/CVelmoraDlg.h"
#include "app/MarketWindow.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "mainwnd/Transaction_Dlg.h"
#include "mainwnd/Watchers.h"
#include "market/core/CUPdate_rightdlg_thread.h"
#include "market/Right_Msg_Dlg.h"
#include "market/core/Pollers.h"
#include "platform/Platform.h"

namespace {

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    std::string host = "127.0.0.1";
    int seconds = 60;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--host"))
            host = argv[++i];
        else if (!std::strcmp(argv[i], "--seconds"))
            seconds = std::atoi(argv[++i]);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setWorkArea(QRect(0, 0, 1920, 1040));
    client::Options o = client::defaultOptions();
    o.line0Host = host;
    o.updateHost = host + ":8090";
    Session::current().setOptions(o);
    client::LoadLineChoice("/nonexistent");
    app::setMarketWindowFactory([](CVelmoraDlg* owner) { return new Transaction_Dlg(owner); });
    app::setCodeClock([] { return std::time_t(1700000000); });
    platform::MessageBoxRecorder boxes(platform::MsgResult::No);

    CVelmoraDlg login;
    login.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kAccountPlain))->setText(QStringLiteral("100001"));
    login.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kPassword))->setText(QStringLiteral("123456"));
    login.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kCode))->setText(login.verificationCode());
    login.onLogin();
    auto* market = qobject_cast<Transaction_Dlg*>(login.marketWindow());
    if (!market || !Session::current().loggedIn()) {
        std::fprintf(stderr, "login failed: %s\n", qPrintable(boxes.texts().join(QLatin1Char('|'))));
        return 1;
    }
    market->actions()->action(mainwnd::MarketActions::Command::Timeshare)->trigger();

    // What the quote panel does meanwhile: its paints and the requests it posts.
    struct PaintCounter final : QObject
    {
        bool eventFilter(QObject*, QEvent* e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
        int paints = 0;
    } panelPaints;
    int forced = 0;
    int unforced = 0;
    market->quotePanel()->installEventFilter(&panelPaints);
    market->quotePanel()->poller()->setRequestObserver([&](market::QuoteRequest, int force) { (force == 1 ? forced : unforced)++; });
    // The requests the fill notices add; the price alerts add none.
    int fillPolls = 0;
    market->watchers()->fills()->poller()->setRequestObserver([&](trade::AccountRequest, int) { ++fillPolls; });

    // Let the start-up sequence and the first loads pass, then measure; one event loop.
    double cpu0 = 0;
    QElapsedTimer wall;
    QTimer::singleShot(6000, &app, [&] {
        panelPaints.paints = forced = unforced = fillPolls = 0;
        cpu0 = CpuSeconds();
        wall.start();
    });
    QTimer::singleShot(6000 + seconds * 1000, &app, [&] {
        const double cpu = CpuSeconds() - cpu0;
        const double elapsed = double(wall.elapsed()) / 1000.0;
        std::printf("terminal CPU over %.1f s polling %s: %.2f s, %.2f %% of one core\n", elapsed, host.c_str(),
                    cpu, 100.0 * cpu / elapsed);
        std::printf("quote panel: %d paints, %d forced and %d timed requests\n", panelPaints.paints, forced,
                    unforced);
        std::printf("fill notices: %d requests, %.1f per minute\n", fillPolls, 60.0 * fillPolls / elapsed);
        std::fflush(stdout);
        std::_Exit(0); // the windows and pollers need no orderly end for a measurement
    });
    app.exec();
    return 0;
}
