#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "session/Config.h"

// The records the session keeps, as plain values: every part of the program reads them
// through the session (Session.h), which guards them.

// The logged-in user's record as the last successful login filled it.
struct UserRecord
{
    std::string id; // the account as typed; the `id` of every signed request
    std::string name;
    std::string email;
    std::string personal_id;
    std::string address;
    std::string phone;
    std::string mobile;
    std::string contract_address;
    std::string account; // bank card number
    std::string password; // plain, for the local unlock and old-password checks
    int is_update = 0;
};

namespace client {

// Run-time deployment settings: compiled-in defaults, overridden by the command line
// (the terminal's parser is app::parseCommandLine).
struct Options
{
    std::string line0Host = defaults::kLine0Host;   // "联通"
    std::string line1Host = defaults::kLine1Host;   // "移动"
    std::string updateHost = defaults::kUpdateHost; // host or host:port of the update manifest
    std::string signKey = defaults::kSignKey;
    std::string workDir;                            // empty: the per-user configuration folder
    std::string pickupText = defaults::kPickupText;       // the pickup point as the delivery form shows it (UTF-8)
    std::string pickupAddress = defaults::kPickupAddress; // the pickup point sent as a pickup delivery's address (UTF-8)
    bool trace = false;
};

// One network line: the trading and market-data base URLs of one host, no trailing slash.
struct ServerLine
{
    std::string label; // as the status window's line list shows it
    std::string tradeBaseUrl;
    std::string marketBaseUrl;
};

} // namespace client

namespace market {

// The item the terminal starts on, and falls back to.
inline constexpr int kFirstItem = 9160001;

// The item the market views follow. The generation changes with every switch, so a reply
// asked for before a switch can be told from one asked for after it.
struct CurrentItem
{
    int code = kFirstItem;
    std::uint64_t generation = 0;
    bool operator==(const CurrentItem&) const = default;
};

// The item generation a view shows, kept under the view's own lock. A reply asked for an
// older generation comes too late and is dropped; one for a newer generation, or the switch
// itself, empties the view first, whichever of the two reaches it first.
class ShownGeneration final
{
public:
    enum class Verdict { Drop, Same, Newer };
    Verdict offer(std::uint64_t generation)
    {
        if (generation < m_generation)
            return Verdict::Drop;
        if (generation == m_generation)
            return Verdict::Same;
        m_generation = generation;
        return Verdict::Newer;
    }

private:
    std::uint64_t m_generation = 0;
};

struct ItemEntry
{
    int code = 0;
    std::string name;
    double referencePrice = 0.0;
    bool operator==(const ItemEntry&) const = default;
};

// The items of the last overview reply, as the trading windows look them up.
class ItemTable final
{
public:
    static constexpr int kCapacity = 30;

    // A reply's rows overwrite the table from the top; rows past the capacity are not kept.
    void store(const std::vector<ItemEntry>& rows, int rowCount);

    int count() const { return m_count; }   // rows of the last reply (may exceed the capacity)
    std::vector<ItemEntry> entries() const; // the kept rows of the last reply
    std::optional<ItemEntry> findByCode(int code) const;

private:
    std::array<ItemEntry, kCapacity> m_entries{};
    int m_count = 0;
};

// The ten-level quote of one item from "/api/v1/trade/guide", as the order windows use it.
struct SingleItemQuote
{
    std::array<double, 5> firstPrices{};  // "extend_1" to "extend_5"; the quick buy price is the first
    std::array<int, 5> firstVolumes{};   // "extend_6" to "extend_10"
    std::array<double, 5> secondPrices{}; // "extend_11" to "extend_15"; the quick sell price is the first
    std::array<int, 5> secondVolumes{};  // "extend_16" to "extend_20"
    std::array<double, 4> prices{};       // "main_9", "main_24", "extend_22", "extend_23"
    double referencePrice = 0.0;         // "main_5"
    // The 20 level values then the four prices, "%.2f" or "%d", "--" for zero.
    std::array<std::string, 24> texts;

    SingleItemQuote() { texts.fill("--"); }
    bool operator==(const SingleItemQuote&) const = default;
};

} // namespace market
