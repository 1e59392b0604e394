#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ApiReply.h"
#include "Endpoints.h"

namespace client {

// The trace lines a caller frames its reply with; an empty line is left out. `{}` traces
// the reply alone; kUntraced leaves the request out of the trace; requestBody() frames the
// body as posted instead of the reply.
struct TraceLines
{
    constexpr TraceLines() = default;
    constexpr TraceLines(std::string_view titleLine, std::string_view endLine = {})
        : title(titleLine)
        , end(endLine)
    {
    }
    static constexpr TraceLines none()
    {
        TraceLines lines;
        lines.reply = false;
        return lines;
    }
    static constexpr TraceLines requestBody(std::string_view titleLine, std::string_view endLine = {})
    {
        TraceLines lines(titleLine, endLine);
        lines.reply = false;
        lines.body = true;
        return lines;
    }

    std::string_view title;
    std::string_view end;
    bool reply = true;
    bool body = false;
};
inline constexpr TraceLines kUntraced = TraceLines::none();

// Locked: a signed POST holds PostLock and a GET holds GetLock for the whole transfer, so
// the GUI thread and the quote poller never overlap. Unlocked: the main market poller's
// transfers, which must never wait for, nor hold up, a locked request.
enum class Lock { Locked, Unlocked };

// One signed request: builds and signs the body for `params` (every parameter of the
// endpoint but `v`), posts it to the current line, traces the title, the reply in UTF-8
// and the end line, and returns the reply as received (wire code page). Every transfer is
// bounded by the transport's time-outs; a failed one returns an empty text.
std::string sendSigned(Endpoint endpoint, std::vector<Param> params, TraceLines trace = kUntraced,
                       Lock lock = Lock::Locked);

// One GET of a path without parameters (`tail` follows the path), traced the same way. A
// market-data path names the session's current item.
std::string fetchText(Endpoint endpoint, std::string_view tail = {}, TraceLines trace = kUntraced,
                      Lock lock = Lock::Locked);
// The same for a market-data path of the given item.
std::string fetchItemText(Endpoint endpoint, int item, std::string_view tail = {}, TraceLines trace = kUntraced,
                          Lock lock = Lock::Locked);

// One GET of an address the service gave (a page it links to), traced the same way.
std::string fetchUrl(const std::string& url, TraceLines trace = kUntraced, Lock lock = Lock::Locked);

// The same, read as the trading service's envelope.
ApiReply Call(Endpoint endpoint, std::vector<Param> params, TraceLines trace = kUntraced, Lock lock = Lock::Locked);
ApiReply fetch(Endpoint endpoint, std::string_view tail = {}, TraceLines trace = kUntraced, Lock lock = Lock::Locked);

} // namespace client
