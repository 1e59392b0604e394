#include "Faults.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include <json/value.h>
#include <json/writer.h>
#include <zlib.h>

#include "client/ApiReply.h"

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
    } else if (mode == "drip") {
        f = {FaultMode::Drip, 0};
    } else if (mode == "wrongtypes") {
        f = {FaultMode::WrongTypes, 0};
    } else if (mode == "gzipbomb") {
        f = {FaultMode::GzipBomb, arg.empty() ? 1024ll * 1024 * 1024 : value};
    } else {
        error = "unknown fault mode: " + mode +
                " (delay, hang, close, malformed, 500, huge, drip, wrongtypes, gzipbomb)";
        return false;
    }
    set(path, f);
    return true;
}

void Faults::set(const std::string& path, Fault fault)
{
    std::lock_guard lock(m_mutex);
    m_rules[path] = fault;
    m_hits.erase(path);
}

void Faults::clear(const std::string& path)
{
    {
        std::lock_guard lock(m_mutex);
        if (path.empty())
            m_rules.clear();
        else
            m_rules.erase(path);
    }
    m_cv.notify_all();
}

std::optional<Fault> Faults::find(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    const std::string* rule = ruleFor(path);
    if (!rule)
        return std::nullopt;
    ++m_hits[*rule];
    return m_rules.at(*rule);
}

long Faults::hits(const std::string& rule) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_hits.find(rule);
    return it == m_hits.end() ? 0 : it->second;
}

const std::string* Faults::ruleFor(const std::string& path) const
{
    if (m_rules.empty())
        return nullptr;
    if (auto it = m_rules.find(path); it != m_rules.end())
        return &it->first;
    for (const auto& [rule, fault] : m_rules) {
        if (!rule.empty() && rule.back() == '*' && path.compare(0, rule.size() - 1, rule, 0, rule.size() - 1) == 0)
            return &rule;
    }
    return nullptr;
}

void Faults::hang(const std::string& path)
{
    // A lifted fault lets its parked requests go, and none is held past any client's
    // time-out by far: otherwise they would hold the server's workers for good and the
    // service would never recover.
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, kLongestHang, [&] {
        const std::string* rule = ruleFor(path);
        return m_released || !rule || m_rules.at(*rule).mode != FaultMode::Hang;
    });
}

bool Faults::sleepFor(long long ms)
{
    std::unique_lock lock(m_mutex);
    return !m_cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_released; });
}

void Faults::release()
{
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_cv.notify_all();
}

namespace {

Json::Value Spoilt(const Json::Value& v)
{
    switch (v.type()) {
    case Json::stringValue: {
        Json::Value a(Json::arrayValue);
        a.append(v);
        return a;
    }
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue: {
        Json::Value o(Json::objectValue);
        o["value"] = v;
        return o;
    }
    case Json::booleanValue: return Json::Value(v.asBool() ? "yes" : "no");
    case Json::nullValue: return Json::Value(0);
    case Json::arrayValue: {
        Json::Value a(Json::arrayValue);
        for (const Json::Value& e : v)
            a.append(Spoilt(e));
        return a;
    }
    case Json::objectValue: {
        Json::Value o(Json::objectValue);
        for (const std::string& name : v.getMemberNames())
            o[name] = name == "success" ? v[name] : Spoilt(v[name]);
        return o;
    }
    }
    return v;
}

} // namespace

std::string WithWrongTypes(const std::string& replyJson)
{
    Json::Value root;
    if (!client::parseJson(replyJson, root))
        return replyJson;
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    writer["emitUTF8"] = true;
    return Json::writeString(writer, Spoilt(root));
}

const std::string& GzipBomb(std::size_t inflatedBytes)
{
    static std::mutex mutex;
    static std::map<std::size_t, std::string> made;
    std::lock_guard lock(mutex);
    if (auto it = made.find(inflatedBytes); it != made.end())
        return it->second;
    std::string out;
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    static const std::string spaces(1 << 20, ' ');
    char buffer[1 << 16];
    std::size_t left = inflatedBytes;
    int flush = Z_NO_FLUSH;
    do {
        const std::size_t n = std::min(left, spaces.size());
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(spaces.data()));
        z.avail_in = static_cast<uInt>(n);
        left -= n;
        flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, flush);
            out.append(buffer, sizeof buffer - z.avail_out);
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&z);
    return made.emplace(inflatedBytes, std::move(out)).first->second;
}

} // namespace exchange
