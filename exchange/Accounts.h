#pragma once

#include <string>
#include <vector>

#include "Engine.h"

namespace exchange {

// An account as configured: plain password, opening cash and holdings.
struct AccountSeed
{
    std::string id;
    std::string password;
    Cents cash = 0;
    struct Holding
    {
        int item = 0;
        std::int64_t amount = 0;
        Cents costPrice = 0;
    };
    std::vector<Holding> positions;
    Personal personal;
    int isUpdate = 0;
};

// The demo accounts used without --accounts (README lists them).
std::vector<AccountSeed> DemoAccounts();

// Reads a JSON array of account objects. Entries without an id or password are skipped
// and named in `warnings`; false with `error` set when the file is unusable.
bool LoadAccountsFile(const std::string& path, std::vector<AccountSeed>& out, std::string& error,
                      std::vector<std::string>& warnings);
bool ParseAccounts(const std::string& utf8, std::vector<AccountSeed>& out, std::string& error,
                   std::vector<std::string>& warnings);

// Salted storage of the hashed password the terminal sends (MD5 of the typed text).
std::string NewSalt();
std::string StoredPasswordHash(const std::string& salt, const std::string& sentHash);
bool PasswordMatches(const Account& account, const std::string& sentHash);
void SetPassword(Account& account, const std::string& sentHash);

// Opens the seeded accounts in the engine: cash as an offline deposit, holdings at cost.
void OpenAccounts(Engine& engine, const std::vector<AccountSeed>& seeds, std::int64_t now);

} // namespace exchange
