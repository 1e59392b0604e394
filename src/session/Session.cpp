#include "session/Session.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<Session*> g_made{nullptr};

} // namespace

void market::ItemTable::store(const std::vector<ItemEntry>& rows, int rowCount)
{
    const std::size_t kept = std::min<std::size_t>(rows.size(), kCapacity);
    std::copy_n(rows.begin(), kept, m_entries.begin());
    m_count = std::max(rowCount, 0);
}

std::vector<market::ItemEntry> market::ItemTable::entries() const
{
    return {m_entries.begin(), m_entries.begin() + std::min(m_count, kCapacity)};
}

std::optional<market::ItemEntry> market::ItemTable::findByCode(int code) const
{
    for (int i = 0; i < std::min(m_count, kCapacity); ++i)
        if (m_entries[i].code == code)
            return m_entries[i];
    return std::nullopt;
}

Session::Session()
{
    // The first one made is the program's; a second (a test's own) does not replace it.
    Session* none = nullptr;
    g_made.compare_exchange_strong(none, this);
}

Session::~Session()
{
    Session* self = this;
    g_made.compare_exchange_strong(self, nullptr);
}

Session& Session::current()
{
    if (Session* made = g_made.load())
        return *made;
    static Session fallback;
    return fallback;
}

std::filesystem::path Session::settingsDir() const { return locked([&] { return m_settingsDir; }); }

void Session::setSettingsDir(std::filesystem::path dir)
{
    locked([&] { m_settingsDir = std::move(dir); });
}

client::Options Session::options() const { return locked([&] { return m_options; }); }

void Session::setOptions(client::Options options)
{
    locked([&] { m_options = std::move(options); });
}

std::array<client::ServerLine, 2> Session::lines() const { return locked([&] { return m_lines; }); }

int Session::lineIndex() const { return locked([&] { return m_line; }); }

void Session::setLines(const std::array<client::ServerLine, 2>& lines, int current)
{
    locked([&] {
        m_lines = lines;
        m_line = current == 1 ? 1 : 0;
    });
}

void Session::setLineIndex(int index)
{
    if (index != 0 && index != 1)
        return;
    locked([&] { m_line = index; });
}

std::string Session::tradeBaseUrl() const
{
    return locked([&] { return m_lines[m_line].tradeBaseUrl; });
}

std::string Session::marketBaseUrl() const
{
    return locked([&] { return m_lines[m_line].marketBaseUrl; });
}

bool Session::loggedIn() const { return locked([&] { return m_state.loggedIn; }); }

void Session::setLoggedIn(bool on)
{
    locked([&] {
        m_state.loggedIn = on;
        // The cash is the account's: no figure of it outlives the signing in.
        if (!on)
            m_state.availableCash = 0.0;
    });
}

UserRecord Session::userRecord() const { return locked([&] { return m_state.record; }); }

void Session::setUserRecord(UserRecord record)
{
    locked([&] {
        if (record.id != m_state.record.id)
            m_state.availableCash = 0.0;
        m_state.record = std::move(record);
    });
}

std::string Session::userId() const { return locked([&] { return m_state.record.id; }); }

std::string Session::password() const { return locked([&] { return m_state.record.password; }); }

void Session::setPassword(const std::string& password)
{
    locked([&] { m_state.record.password = password; });
}

double Session::availableCash() const { return locked([&] { return m_state.availableCash; }); }

void Session::setAvailableCash(double cash) { locked([&] { m_state.availableCash = cash; }); }

market::ItemTable Session::items() const { return locked([&] { return m_state.items; }); }

void Session::storeItems(const std::vector<market::ItemEntry>& rows, int rowCount)
{
    locked([&] { m_state.items.store(rows, rowCount); });
}

std::optional<market::ItemEntry> Session::findItem(int code) const
{
    return locked([&] { return m_state.items.findByCode(code); });
}

market::CurrentItem Session::currentItem() const { return locked([&] { return m_state.currentItem; }); }

bool Session::setCurrentItem(int code)
{
    return locked([&] {
        if (code == m_state.currentItem.code)
            return false;
        m_state.currentItem = {code, m_state.currentItem.generation + 1};
        return true;
    });
}

std::vector<int> Session::watchlist() const { return locked([&] { return m_state.watchlist; }); }

void Session::setWatchlist(std::vector<int> codes) { locked([&] { m_state.watchlist = std::move(codes); }); }

market::SingleItemQuote Session::singleItemQuote() const
{
    return locked([&] { return m_state.quote; });
}

void Session::setSingleItemQuote(const market::SingleItemQuote& quote)
{
    locked([&] { m_state.quote = quote; });
}

std::string Session::catalogueText() const { return locked([&] { return m_state.catalogueText; }); }

void Session::setCatalogueText(std::string text)
{
    locked([&] { m_state.catalogueText = std::move(text); });
}

std::string Session::currentColumnText() const
{
    return locked([&] { return m_state.currentColumnText; });
}

void Session::setCurrentColumnText(std::string text)
{
    locked([&] { m_state.currentColumnText = std::move(text); });
}

void Session::resetForTest()
{
    locked([&] {
        // Generations only grow: a view still holding one from before must not take the
        // fresh start's replies for old ones.
        const std::uint64_t generation = m_state.currentItem.generation + 1;
        m_state = UserState{};
        m_state.currentItem.generation = generation;
    });
}
