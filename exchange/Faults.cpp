#include "Faults.h"

#include <chrono>
#include <cstdlib>

namespace exchange {

bool Faults::add(const std::string& rule, std::string& error)
{
    const auto eq = rule.rfind('=');
    if (eq == std::string::npos || eq == 0 || rule[0] != '/') {
        error = "a fault is PATH=MODE[:ARG], PATH beginning with /";
        return false;
    }
    const std::string path = rule.substr(0, eq);
    std::string mode = rule.substr(eq + 1);
    std::string arg;
    if (const auto colon = mode.find(':'); colon != std::string::npos) {
        arg = mode.substr(colon + 1);
        mode.resize(colon);
    }
    char* end = nullptr;
    const long long value = arg.empty() ? 0 : std::strtoll(arg.c_str(), &end, 10);
    if (!arg.empty() && (*end != '\0' || value < 0)) {
        error = "bad fault argument: " + arg;
        return false;
    }
    Fault f;
    if (mode == "delay") {
        f = {FaultMode::Delay, arg.empty() ? 5000 : value};
    } else if (mode == "hang") {
        f = {FaultMode::Hang, 0};
    } else if (mode == "close") {
        f = {FaultMode::CloseMidBody, 0};
    } else if (mode == "malformed") {
        f = {FaultMode::Malformed, 0};
    } else if (mode == "500") {
        f = {FaultMode::Status500, 0};
    } else if (mode == "huge") {
        f = {FaultMode::Huge, arg.empty() ? 80ll * 1024 * 1024 : value};
    } else {
        error = "unknown fault mode: " + mode + " (delay, hang, close, malformed, 500, huge)";
        return false;
    }
    set(path, f);
    return true;
}

void Faults::set(const std::string& path, Fault fault)
{
    std::lock_guard lock(m_mutex);
    m_rules[path] = fault;
}

void Faults::clear(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    if (path.empty())
        m_rules.clear();
    else
        m_rules.erase(path);
}

std::optional<Fault> Faults::find(const std::string& path) const
{
    std::lock_guard lock(m_mutex);
    if (m_rules.empty())
        return std::nullopt;
    if (auto it = m_rules.find(path); it != m_rules.end())
        return it->second;
    for (const auto& [rule, fault] : m_rules) {
        if (!rule.empty() && rule.back() == '*' && path.compare(0, rule.size() - 1, rule, 0, rule.size() - 1) == 0)
            return fault;
    }
    return std::nullopt;
}

void Faults::hang()
{
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return m_released; });
}

void Faults::sleepFor(long long ms)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_released; });
}

void Faults::release()
{
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_cv.notify_all();
}

} // namespace exchange
