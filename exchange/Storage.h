#pragma once

#include <memory>
#include <string>

#include "Engine.h"

struct sqlite3;

namespace exchange {

// Write-through SQLite persistence of the engine's records.
class Storage final
{
public:
    static std::unique_ptr<Storage> Open(const std::string& path, std::string& error);
    ~Storage();
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;

    // Loads every record into an empty engine; `loaded` tells whether the file held accounts.
    bool load(Engine& engine, bool& loaded, std::string& error);
    // Writes what changed in one transaction; true once it is committed, false when none
    // of it was.
    bool write(const Engine& engine, const Changes& changes, std::string& error);

private:
    explicit Storage(sqlite3* db) : m_db(db) {}
    bool exec(const char* sql, std::string& error);
    sqlite3* m_db = nullptr;
};

} // namespace exchange
