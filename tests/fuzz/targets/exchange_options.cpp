// velmora-exchange's command line and fault rules, and the terminal's command line.
#include <string>
#include <vector>

#include "Faults.h"
#include "ServerOptions.h"
#include "app/CommandLine.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args;
    std::string_view rest = fuzz::text(data, size);
    while (!rest.empty() && args.size() < 32) {
        const std::size_t end = rest.find('\0');
        args.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    const exchange::ServerOptionsResult server = exchange::ParseServerOptions(args);
    if (server.error.empty()) {
        FUZZ_CHECK(!server.options.listen.empty());
        FUZZ_CHECK(server.options.updatePort > 0 && server.options.updatePort <= 65535);
        FUZZ_CHECK(server.options.loginHours > 0 && server.options.loginHours <= 87600);
        FUZZ_CHECK(server.options.deliveryHorizonDays >= 0 && server.options.deliveryHorizonDays <= 36500);
        exchange::Faults faults;
        for (const std::string& rule : server.options.faults) {
            std::string error;
            if (faults.add(rule, error))
                FUZZ_CHECK(error.empty());
            else
                FUZZ_CHECK(!error.empty());
        }
    }
    QStringList terminalArgs{QStringLiteral("velmora")};
    for (const std::string& arg : args)
        terminalArgs << QString::fromUtf8(arg.data(), static_cast<qsizetype>(arg.size()));
    const app::CommandLine terminal = app::parseCommandLine(terminalArgs);
    if (terminal.action == app::CommandLineAction::Run) {
        FUZZ_CHECK(client::isValidSignKey(terminal.options.signKey));
        FUZZ_CHECK(client::isValidHost(terminal.options.line0Host));
        FUZZ_CHECK(client::isValidHost(terminal.options.line1Host));
    }
    return 0;
}
