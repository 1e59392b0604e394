#pragma once

#include <array>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "session/Records.h"

// The program's state beyond one window: the deployment (options, network lines), the user,
// and what the pollers and the order windows share (usable cash, the item table, the
// single-item quote, the column texts). The program makes one at start-up, before its first
// window or thread, and every part reaches it through current().
//
// One lock discipline: each record is read and written whole, as a copy, under the session's
// one lock; nothing holds a reference into the session, so any thread may call any member.
class Session final
{
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The session the program made; in a program that makes none (tests, tools, fuzzers),
    // one made at first use that lasts the process.
    static Session& current();

    // Deployment: set as the program starts, before any thread.
    client::Options options() const;
    void setOptions(client::Options options);

    // The folder of the settings files, as the program settled it at start; empty: the
    // working folder.
    std::filesystem::path settingsDir() const;
    void setSettingsDir(std::filesystem::path dir);

    // Index 0 "联通", index 1 "移动"; the base URLs are read on every request.
    std::array<client::ServerLine, 2> lines() const;
    int lineIndex() const;
    void setLines(const std::array<client::ServerLine, 2>& lines, int current);
    void setLineIndex(int index);
    std::string tradeBaseUrl() const;
    std::string marketBaseUrl() const;

    // The user: written on the window thread, read by the pollers too.
    bool loggedIn() const;
    void setLoggedIn(bool on);
    UserRecord userRecord() const;
    void setUserRecord(UserRecord record);
    std::string userId() const; // the one door to the `id` of every signed request
    std::string password() const;
    void setPassword(const std::string& password);

    // The user's usable cash as the main poller last read it, to the cent: in a float a
    // balance above 131,072 yuan loses its last cent. Cleared when the user signs out (or is
    // locked out) and when another account signs in.
    double availableCash() const;
    void setAvailableCash(double cash);

    // The items of the last overview reply.
    market::ItemTable items() const;
    void storeItems(const std::vector<market::ItemEntry>& rows, int rowCount);
    std::optional<market::ItemEntry> findItem(int code) const;

    // The item the market views follow. Switching to another code starts a new generation
    // and returns true; choosing the current one again changes nothing.
    market::CurrentItem currentItem() const;
    bool setCurrentItem(int code);

    // The trader's own item codes, in the order added.
    std::vector<int> watchlist() const;
    void setWatchlist(std::vector<int> codes);

    market::SingleItemQuote singleItemQuote() const;
    void setSingleItemQuote(const market::SingleItemQuote& quote);

    // The column catalogue and the current column choice (styled JSON).
    std::string catalogueText() const;
    void setCatalogueText(std::string text);
    std::string currentColumnText() const;
    void setCurrentColumnText(std::string text);

    // Back to the state of a fresh start for the same deployment: logged out, no user, no
    // cash, no items, the first item current (in a new generation), an empty watchlist, no
    // quote, no column texts. The options and lines are the program's, set once as it
    // starts, and stay.
    void resetForTest();

private:
    // Every member reads or writes through here, under the one lock.
    template <class F>
    auto locked(F&& f) const
    {
        const std::lock_guard lock(m_mutex);
        return f();
    }

    struct UserState
    {
        bool loggedIn = false;
        UserRecord record;
        double availableCash = 0.0;
        market::ItemTable items;
        market::CurrentItem currentItem;
        std::vector<int> watchlist;
        market::SingleItemQuote quote;
        std::string catalogueText;
        std::string currentColumnText;
    };

    mutable std::mutex m_mutex;
    client::Options m_options;
    std::filesystem::path m_settingsDir;
    std::array<client::ServerLine, 2> m_lines;
    int m_line = 0;
    UserState m_state;
};
