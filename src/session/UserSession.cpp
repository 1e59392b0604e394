#include "session/UserSession.h"

UserSession& UserSession::instance()
{
    static UserSession session;
    return session;
}

UserRecord UserSession::record() const
{
    std::lock_guard lock(m_mutex);
    return m_record;
}

void UserSession::setRecord(UserRecord record)
{
    std::lock_guard lock(m_mutex);
    m_record = std::move(record);
}

std::string UserSession::id() const
{
    std::lock_guard lock(m_mutex);
    return m_record.id;
}

std::string UserSession::password() const
{
    std::lock_guard lock(m_mutex);
    return m_record.password;
}

void UserSession::setPassword(const std::string& password)
{
    std::lock_guard lock(m_mutex);
    m_record.password = password;
}

void UserSession::resetForTest()
{
    m_loggedIn.store(false);
    std::lock_guard lock(m_mutex);
    m_record = UserRecord{};
}
