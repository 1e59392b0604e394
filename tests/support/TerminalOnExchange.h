#pragma once

#include <memory>
#include <string>

#include <QDir>
#include <QFile>
#include <QRect>
#include <QTemporaryDir>

#include "Accounts.h"
#include "Exchange.h"
#include "Faults.h"
#include "HttpFront.h"
#include "app/CVelmoraDlg.h"
#include "app/MarketWindow.h"
#include "session/Session.h"
#include "session/Config.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "market/core/Pollers.h"
#include "platform/Platform.h"

namespace testsupport {

// The substitute exchange with the demo accounts, served over HTTP on `address` (line 0
// and the update host's port 8090), and the terminal's process set up to use it: a
// working folder seeded as the run command seeds it, a 1920 × 1040 work area, the user
// record as the session, and the login window opening the market window `Window`.
// For end-to-end tests, which link the exchange.
template <class Window>
class TerminalOnExchange final
{
public:
    // Empty when it all started; otherwise what failed. With a database file the
    // exchange's state outlives restartExchange().
    std::string start(const std::string& address, std::uint64_t seed, int simulatedSteps,
                      const std::string& dbPath = {})
    {
        m_address = address;
        m_config.key = client::defaults::kSignKey;
        m_config.seed = seed;
        m_config.accounts = exchange::DemoAccounts();
        m_config.dbPath = dbPath;
        m_config.infoPageBase = "http://" + address + ":8090/stockinfo/";
        // The trading day opens when the exchange starts, so the time-share fills the same
        // way at any hour of the wall clock.
        m_config.sessionClock = true;
        if (std::string error = startExchange(); !error.empty())
            return error;
        m_exchange->simulate(simulatedSteps); // a market with a tape before the terminal looks

        m_dir = std::make_unique<QTemporaryDir>();
        if (!QDir::setCurrent(m_dir->path())
            || !QFile::copy(QStringLiteral(DATA_DIR "/currentlisttitle.txt"), QStringLiteral("currentlisttitle.txt"))
            || !QFile::copy(QStringLiteral(DATA_DIR "/listtitle.txt"), QStringLiteral("listtitle.txt")))
            return "cannot seed the working folder";
        platform::setDataDirectory(m_dir->filePath(QStringLiteral("data")));
        platform::setWorkArea(QRect(0, 0, 1920, 1040));

        client::Options o = client::defaultOptions();
        o.line0Host = address;
        o.updateHost = address + ":8090";
        Session::current().setOptions(o);
        client::LoadLineChoice();
        app::setMarketWindowFactory([](CVelmoraDlg* owner) { return new Window(owner); });
        return {};
    }

    ~TerminalOnExchange()
    {
        app::setMarketWindowFactory(nullptr);
        Session::current().resetForTest();
        stopExchange();
    }

    exchange::Exchange& exchange() { return *m_exchange; }

    // The exchange stopped and started again on the same address and database.
    std::string restartExchange()
    {
        stopExchange();
        return startExchange();
    }

private:
    std::string startExchange()
    {
        std::string error;
        m_exchange = exchange::Exchange::Create(m_config, error);
        if (!m_exchange)
            return error;
        m_faults = std::make_unique<exchange::Faults>();
        m_front = std::make_unique<exchange::HttpFront>(*m_exchange, *m_faults);
        if (!m_front->start({m_address}, m_address, 8090, error))
            return error;
        return {};
    }

    void stopExchange()
    {
        m_front.reset();
        m_faults.reset();
        m_exchange.reset();
    }

    std::string m_address;
    exchange::ExchangeConfig m_config;
    std::unique_ptr<exchange::Exchange> m_exchange;
    std::unique_ptr<exchange::Faults> m_faults;
    std::unique_ptr<exchange::HttpFront> m_front;
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace testsupport
