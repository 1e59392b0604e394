#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace exchange {

enum class FaultMode { Delay, Hang, CloseMidBody, Malformed, Status500, Huge };

struct Fault
{
    FaultMode mode = FaultMode::Delay;
    long long argument = 0; // Delay: milliseconds; Huge: bytes
};

// Misbehaviour on chosen paths, for the terminal's tests. A path ending in "*" matches
// every path it begins.
class Faults final
{
public:
    // "PATH=MODE[:ARG]" with MODE delay:MS, hang, close, malformed, 500, huge[:BYTES].
    bool add(const std::string& rule, std::string& error);
    void set(const std::string& path, Fault fault);
    void clear(const std::string& path); // empty: all
    std::optional<Fault> find(const std::string& path) const;

    // Parks a request until the front stops.
    void hang();
    void sleepFor(long long ms);
    void release(); // ends every hang and delay: the server is stopping

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::map<std::string, Fault> m_rules;
    bool m_released = false;
};

} // namespace exchange
