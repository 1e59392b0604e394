#pragma once

#include <atomic>
#include <mutex>
#include <string>

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

// Process-wide: written on the GUI thread, read by the pollers too.
class UserSession final
{
public:
    static UserSession& instance();

    bool loggedIn() const { return m_loggedIn.load(); }
    void setLoggedIn(bool on) { m_loggedIn.store(on); }

    UserRecord record() const;
    void setRecord(UserRecord record);
    std::string id() const;
    std::string password() const;
    void setPassword(const std::string& password);

    // Back to the empty record of start-up, logged out.
    void resetForTest();

private:
    UserSession() = default;

    std::atomic<bool> m_loggedIn{false};
    mutable std::mutex m_mutex;
    UserRecord m_record;
};
