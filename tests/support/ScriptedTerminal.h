#pragma once

#include <memory>
#include <string>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "client/Options.h"
#include "client/ServerLine.h"
#include "platform/DataPaths.h"
#include "session/Session.h"
#include "support/LoopbackServer.h"

namespace testsupport {

// The market-window tests' world: a fresh working folder (the settings folder) seeded with the
// shipped column files from `dataDir`, the data folder inside it, scripted trading and market
// servers on `host`, and a fresh session pointed at them. The old working folder comes back
// when it goes; end the windows first.
class ScriptedTerminal final
{
public:
    ScriptedTerminal(const std::string& host, const char* dataDir, LoopbackServer::Handler trade,
                     LoopbackServer::Handler market)
        : m_oldCwd(QDir::currentPath())
    {
        m_ready = m_dir.isValid() && QDir::setCurrent(m_dir.path());
        for (const char* name : {"currentlisttitle.txt", "listtitle.txt"})
            m_ready = m_ready && QFile::copy(QDir(QString::fromUtf8(dataDir)).filePath(QLatin1String(name)),
                                             QLatin1String(name));
        platform::setDataDirectory(m_dir.filePath(QStringLiteral("data")));
        m_trade = std::make_unique<LoopbackServer>(host, client::kTradePort, std::move(trade));
        m_market = std::make_unique<LoopbackServer>(host, client::kMarketPort, std::move(market));
        client::Options o = client::defaultOptions();
        o.line0Host = host;
        o.updateHost = host + ":1"; // nothing there: the update check is silent
        Session::current().setOptions(o);
        client::LoadLineChoice();
        Session::current().resetForTest();
    }

    ~ScriptedTerminal()
    {
        m_trade.reset();
        m_market.reset();
        QDir::setCurrent(m_oldCwd);
    }

    ScriptedTerminal(const ScriptedTerminal&) = delete;
    ScriptedTerminal& operator=(const ScriptedTerminal&) = delete;

    // The folder was made and seeded.
    bool ready() const { return m_ready; }
    LoopbackServer& trade() const { return *m_trade; }
    LoopbackServer& market() const { return *m_market; }
    QString path() const { return m_dir.path(); }

private:
    QString m_oldCwd;
    QTemporaryDir m_dir;
    bool m_ready = false;
    std::unique_ptr<LoopbackServer> m_trade;
    std::unique_ptr<LoopbackServer> m_market;
};

} // namespace testsupport
