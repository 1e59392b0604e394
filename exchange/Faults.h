#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace exchange {

enum class FaultMode { Delay, Hang, CloseMidBody, Malformed, Status500, Huge, Drip, WrongTypes, GzipBomb };

struct Fault
{
    FaultMode mode = FaultMode::Delay;
    long long argument = 0; // Delay: milliseconds; Huge: bytes; GzipBomb: bytes inflated
};

// Misbehaviour on chosen paths, for the terminal's tests. A path ending in "*" matches
// every path it begins.
class Faults final
{
public:
    // "PATH=MODE[:ARG]" with MODE delay:MS, hang, close, malformed, 500, huge[:BYTES], drip,
    // wrongtypes, gzipbomb[:BYTES].
    bool add(const std::string& rule, std::string& error);
    void set(const std::string& path, Fault fault);
    void clear(const std::string& path); // empty: all; wakes the requests it held
    // The fault for a request on `path`; counts the request as met by the rule.
    std::optional<Fault> find(const std::string& path);
    // Requests a rule has met since it was set (tests wait on it).
    long hits(const std::string& rule) const;

    // A hung request is dropped without a reply after this long at most.
    static constexpr std::chrono::seconds kLongestHang{30};

    // Parks a request on `path` until its hang is cleared, the front stops or
    // kLongestHang passed.
    void hang(const std::string& path);
    // False when the front stopped meanwhile.
    bool sleepFor(long long ms);
    void release(); // ends every hang and delay: the server is stopping

private:
    const std::string* ruleFor(const std::string& path) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::map<std::string, Fault> m_rules;
    std::map<std::string, long> m_hits;
    bool m_released = false;
};

// The reply with every member but "success" turned into a value of another type (text into
// an array, a number into an object, a boolean into text), containers kept: what a reader
// meets when the service's layout changes under it. Text that is not JSON is returned as is.
std::string WithWrongTypes(const std::string& replyJson);

// A gzip stream that inflates to `inflatedBytes` spaces: small on the wire, huge in memory.
const std::string& GzipBomb(std::size_t inflatedBytes);

} // namespace exchange
