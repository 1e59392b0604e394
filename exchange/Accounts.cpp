#include "Accounts.h"

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

#include <openssl/evp.h>

#include "Catalogue.h"
#include "client/ApiReply.h"
#include "client/ApiSign.h"
#include "client/CodePage.h"

namespace exchange {
namespace {

std::string Hex(const unsigned char* data, unsigned length)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned i = 0; i < length; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

Cents YuanToCents(double yuan)
{
    if (!std::isfinite(yuan) || yuan < 0 || yuan > 1e12)
        return 0;
    return static_cast<Cents>(std::llround(yuan * 100.0));
}

} // namespace

std::vector<AccountSeed> DemoAccounts()
{
    std::vector<AccountSeed> seeds;
    AccountSeed a;
    a.id = "100001";
    a.password = "123456";
    a.cash = 500'000'00;
    a.positions = {{9160001, 2000, 3500}, {9160002, 200, 12000}};
    seeds.push_back(a);

    AccountSeed b;
    b.id = "100002";
    b.password = "velmora";
    b.cash = 1'000'000'00;
    b.positions = {{9160001, 5000, 3620}, {9160003, 400, 8800}, {9160006, 100, 16000}};
    b.personal = {"林晓雨", "xiaoyu.lin@example.com", "110101199003071234", "北京市东城区和平里街道12号",
                  "010-64201234", "13800138000", "北京市朝阳区酒仙桥路8号", "6217000010001234567"};
    b.isUpdate = 1;
    seeds.push_back(b);

    AccountSeed c;
    c.id = "100003";
    c.password = "888888";
    c.cash = 50'000'00;
    seeds.push_back(c);
    return seeds;
}

bool ParseAccounts(const std::string& utf8, std::vector<AccountSeed>& out, std::string& error,
                   std::vector<std::string>& warnings)
{
    Json::Value root;
    if (!client::parseJson(utf8, root) || !root.isArray()) {
        error = "the accounts file is not a JSON array";
        return false;
    }
    for (Json::ArrayIndex i = 0; i < root.size(); ++i) {
        const Json::Value& e = root[i];
        AccountSeed s;
        s.id = client::jsonText(e, "id");
        s.password = client::jsonText(e, "password");
        if (!e.isObject() || s.id.empty() || s.password.empty()) {
            warnings.push_back("entry " + std::to_string(i) + " has no id or password: skipped");
            continue;
        }
        s.cash = YuanToCents(client::jsonReal(e, "cash"));
        const Json::Value& positions = e.isObject() ? e["positions"] : Json::Value::nullSingleton();
        if (positions.isArray()) {
            for (const Json::Value& p : positions) {
                const int item = client::jsonInt(p, "stock_id");
                const std::int64_t amount = client::JsonInt64(p, "amount");
                if (item <= 0 || amount <= 0) {
                    warnings.push_back("account " + s.id + ": a position without stock_id or amount: skipped");
                    continue;
                }
                if (!FindItem(item)) {
                    warnings.push_back("account " + s.id + ": item " + std::to_string(item) + " is not listed: skipped");
                    continue;
                }
                s.positions.push_back({item, amount, YuanToCents(client::jsonReal(p, "costprice"))});
            }
        }
        s.personal = {client::jsonText(e, "name"),    client::jsonText(e, "email"),
                      client::jsonText(e, "personal_id"), client::jsonText(e, "address"),
                      client::jsonText(e, "phone"),   client::jsonText(e, "mobile"),
                      client::jsonText(e, "contract_address"), client::jsonText(e, "account")};
        s.isUpdate = client::jsonInt(e, "is_update") == 1 ? 1 : 0;
        bool duplicate = false;
        for (const AccountSeed& other : out)
            duplicate = duplicate || other.id == s.id;
        if (duplicate) {
            warnings.push_back("account " + s.id + " appears twice: the first is kept");
            continue;
        }
        out.push_back(std::move(s));
    }
    return true;
}

bool LoadAccountsFile(const std::string& path, std::vector<AccountSeed>& out, std::string& error,
                      std::vector<std::string>& warnings)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseAccounts(client::localFileToUtf8(text.str()), out, error, warnings);
}

std::string NewSalt()
{
    std::random_device rd;
    unsigned char bytes[16];
    for (unsigned char& b : bytes)
        b = static_cast<unsigned char>(rd());
    return Hex(bytes, sizeof bytes);
}

std::string StoredPasswordHash(const std::string& salt, const std::string& sentHash)
{
    const std::string input = salt + sentHash;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    EVP_Digest(input.data(), input.size(), digest, &length, EVP_sha256(), nullptr);
    return Hex(digest, length);
}

bool PasswordMatches(const Account& account, const std::string& sentHash)
{
    return !account.internal && !account.salt.empty() &&
           StoredPasswordHash(account.salt, sentHash) == account.passwordHash;
}

void SetPassword(Account& account, const std::string& sentHash)
{
    account.salt = NewSalt();
    account.passwordHash = StoredPasswordHash(account.salt, sentHash);
}

void OpenAccounts(Engine& engine, const std::vector<AccountSeed>& seeds, std::int64_t now)
{
    for (const AccountSeed& s : seeds) {
        if (engine.account(s.id))
            continue;
        Account a;
        a.id = s.id;
        SetPassword(a, client::hashPassword(s.password));
        a.personal = s.personal;
        a.isUpdate = s.isUpdate;
        engine.addAccount(a);
        engine.deposit(s.id, s.cash, now, true);
        for (const AccountSeed::Holding& h : s.positions)
            engine.grant(s.id, h.item, h.amount, h.costPrice);
    }
}

} // namespace exchange
