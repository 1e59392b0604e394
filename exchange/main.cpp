#include <csignal>
#include <pthread.h>
#include <iostream>
#include <string>
#include <vector>

#include "Exchange.h"
#include "Faults.h"
#include "HttpFront.h"
#include "ServerOptions.h"

int main(int argc, char** argv)
{
    const exchange::ServerOptionsResult parsed =
        exchange::ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << "velmora-exchange: " << parsed.error << "\nTry 'velmora-exchange --help' for the options.\n";
        return 2;
    }
    const exchange::ServerOptions& o = parsed.options;
    if (o.help) {
        std::cout << exchange::ServerUsage();
        return 0;
    }
    if (o.version) {
        std::cout << exchange::ServerVersion();
        return 0;
    }

    exchange::ExchangeConfig config;
    config.key = o.key;
    config.seed = o.seed;
    config.sessionClock = o.sessionClock;
    config.openAccounts = o.openAccounts;
    config.loginWindow = static_cast<std::int64_t>(o.loginHours * 3600.0 + 0.5);
    config.deliveryHorizonDays = o.deliveryHorizonDays;
    config.dbPath = o.db;
    config.manifest = {o.manifestVersion, o.manifestForced, o.manifestMsg};
    config.infoPageBase = "http://" + o.updateHost + ":" + std::to_string(o.updatePort) + "/stockinfo/";
    if (o.accountsFile.empty()) {
        config.accounts = exchange::DemoAccounts();
    } else {
        std::string error;
        std::vector<std::string> warnings;
        if (!exchange::LoadAccountsFile(o.accountsFile, config.accounts, error, warnings)) {
            std::cerr << "velmora-exchange: " << error << "\n";
            return 1;
        }
        for (const std::string& w : warnings)
            std::cerr << "velmora-exchange: " << o.accountsFile << ": " << w << "\n";
    }

    // Every thread started from here on inherits the block; main alone waits for the signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN); // a client hanging up mid-reply must not end the service
    // A file-size limit makes a database write fail, answered as such, instead of ending us.
    std::signal(SIGXFSZ, SIG_IGN);

    exchange::Faults faults;
    for (const std::string& rule : o.faults) {
        std::string error;
        if (!faults.add(rule, error)) {
            std::cerr << "velmora-exchange: --fault " << rule << ": " << error << "\n";
            return 2;
        }
    }

    std::string error;
    std::unique_ptr<exchange::Exchange> ex = exchange::Exchange::Create(std::move(config), error);
    if (!ex) {
        std::cerr << "velmora-exchange: " << error << "\n";
        return 1;
    }
    exchange::HttpFront front(*ex, faults);
    if (!front.start(o.listen, o.updateHost, o.updatePort, error)) {
        std::cerr << "velmora-exchange: " << error << "\n";
        return 1;
    }
    ex->startPace(o.pace);
    for (const std::string& a : o.listen)
        std::cout << "velmora-exchange: trading http://" << a << ":8055, market data http://" << a << ":8041\n";
    std::cout << "velmora-exchange: update host http://" << o.updateHost << ":" << o.updatePort << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    ex->stopPace();
    front.stop();
    return 0;
}
