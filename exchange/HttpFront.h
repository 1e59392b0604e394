#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Exchange.h"
#include "Faults.h"

namespace httplib {
class Server;
}

namespace exchange {

// The HTTP side: the trading port 8055 and the market port 8041 on each listen address,
// and the update host serving the manifest and the information page.
class HttpFront final
{
public:
    HttpFront(Exchange& exchange, Faults& faults);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Binds every socket first, so a busy port fails the start before anything serves.
    bool start(const std::vector<std::string>& addresses, const std::string& updateAddress, int updatePort,
               std::string& error, int tradePort = 8055, int marketPort = 8041);
    void stop();

private:
    std::unique_ptr<httplib::Server> makeTradeServer();
    std::unique_ptr<httplib::Server> makeMarketServer();
    std::unique_ptr<httplib::Server> makeUpdateServer();
    void addControl(httplib::Server& server);

    Exchange& m_exchange;
    Faults& m_faults;
    std::vector<std::unique_ptr<httplib::Server>> m_servers;
    std::vector<std::thread> m_threads;
};

} // namespace exchange
