// From pressing buy in the buy window to its orders list showing the new order, against
// velmora-exchange served in this process over loopback HTTP. The window waits a second
// before it refreshes (the service's time to book the order), so the figures are given
// with and without that wait. usage: buy_round_trip_bench [--orders N]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include "Accounts.h"
#include "Exchange.h"
#include "Faults.h"
#include "HttpFront.h"
#include "app/LoginRequest.h"
#include "session/Config.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/JListCtrl.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "support/LoopbackServer.h"
#include "support/SignedIn.h"
#include "trade/low_deal_buy_dlg.h"
#include "session/Session.h"

namespace {

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

} // namespace

int main(int argc, char** argv)
{
    int count = 30;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--orders"))
            count = std::max(1, std::atoi(argv[++i]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string address = testsupport::UniqueLoopbackAddress(21);
    exchange::ExchangeConfig config;
    config.key = client::defaults::kSignKey;
    config.accounts = exchange::DemoAccounts();
    std::string error;
    std::unique_ptr<exchange::Exchange> ex = exchange::Exchange::Create(config, error);
    if (!ex) {
        std::fprintf(stderr, "exchange: %s\n", error.c_str());
        return 1;
    }
    ex->simulate(200);
    exchange::Faults faults;
    exchange::HttpFront front(*ex, faults);
    if (!front.start({address}, address, 8090, error)) {
        std::fprintf(stderr, "front: %s\n", error.c_str());
        return 1;
    }
    client::Options o = client::defaultOptions();
    o.line0Host = address;
    Session::current().setOptions(o);
    client::LoadLineChoice("/nonexistent");
    if (app::RequestLogin("100001", "123456").kind != app::LoginOutcome::Kind::Succeeded) {
        std::fprintf(stderr, "login refused\n");
        return 1;
    }
    testsupport::logInAs("100001");
    platform::setMessageBoxHandler([](const platform::MessageBoxCall&) { return platform::MsgResult::Yes; });

    low_deal_buy_dlg window(nullptr);
    window.resize(1660, 312);
    window.show();
    window.selectTab(trade::OrderWindow::Tab::Orders);
    JListCtrl* orders = window.list(trade::OrderWindow::Tab::Orders);
    window.codeField()->setText(QStringLiteral("9160001"));
    window.refreshQuote(false);
    char price[32];
    std::snprintf(price, sizeof price, "%.2f", double(window.shownQuote()->secondPrices[0]) - 0.5);
    window.priceField()->setText(QString::fromLatin1(price));
    window.quantityField()->setText(QStringLiteral("1"));

    std::vector<double> total;
    std::vector<double> pressing;
    for (int i = 0; i < count; ++i) {
        const int before = orders->rowCount();
        QElapsedTimer clock;
        clock.start();
        window.placeOrder(); // the cash query, the question, the order and its answer
        pressing.push_back(double(clock.nsecsElapsed()) / 1e6);
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (orders->rowCount() > before)
                loop.quit();
        });
        poll.start(1);
        loop.exec();
        total.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::vector<double> refresh;
    for (size_t i = 0; i < total.size(); ++i)
        refresh.push_back(total[i] - pressing[i] - low_deal_buy_dlg::kRefreshDelay);
    std::printf("buy round trip over %d orders (ms)        median   p90    max\n", count);
    std::printf("  press to list refreshed (with 1 s wait)  %7.1f %6.1f %6.1f\n", percentile(total, 0.5),
                percentile(total, 0.9), percentile(total, 1.0));
    std::printf("  press to answer shown (3 requests)       %7.2f %6.2f %6.2f\n", percentile(pressing, 0.5),
                percentile(pressing, 0.9), percentile(pressing, 1.0));
    std::printf("  refresh after the wait (request + fill)  %7.2f %6.2f %6.2f\n", percentile(refresh, 0.5),
                percentile(refresh, 0.9), percentile(refresh, 1.0));
    platform::setMessageBoxHandler(nullptr);
    return 0;
}
