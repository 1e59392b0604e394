#include "Call.h"

#include "CodePage.h"
#include "Trace.h"
#include "Transport.h"

namespace client {
namespace {

// `text` is UTF-8 already.
void traceFramed(TraceLines lines, const std::string& text)
{
    if (!lines.title.empty())
        trace(lines.title);
    trace(text);
    if (!lines.end.empty())
        trace(lines.end);
}

void traceReply(TraceLines lines, const std::string& wire)
{
    if (lines.reply && traceEnabled())
        traceFramed(lines, wireToUtf8(wire));
}

} // namespace

std::string sendSigned(Endpoint endpoint, std::vector<Param> params, TraceLines trace, Lock lock)
{
    const SignedRequest request = buildSignedRequest(endpoint, std::move(params));
    if (trace.body && traceEnabled())
        traceFramed(trace, endpointInfo(endpoint).utf8 ? request.body : wireToUtf8(request.body));
    std::string reply;
    if (lock == Lock::Locked)
        HttpPostForm(request.url, request.body, PostLock(), reply);
    else
        HttpPostFormNoLock(request.url, request.body, reply);
    traceReply(trace, reply);
    return reply;
}

std::string fetchText(Endpoint endpoint, std::string_view tail, TraceLines trace, Lock lock)
{
    return fetchUrl(endpointUrl(endpoint, tail), trace, lock);
}

std::string fetchItemText(Endpoint endpoint, int item, std::string_view tail, TraceLines trace, Lock lock)
{
    return fetchUrl(endpointUrl(endpoint, tail, item), trace, lock);
}

std::string fetchUrl(const std::string& url, TraceLines trace, Lock lock)
{
    std::string reply;
    if (lock == Lock::Locked)
        HttpGetUrl(url, reply);
    else
        HttpGetUrlNoLock(url, reply);
    traceReply(trace, reply);
    return reply;
}

ApiReply Call(Endpoint endpoint, std::vector<Param> params, TraceLines trace, Lock lock)
{
    return ApiReply::fromWire(sendSigned(endpoint, std::move(params), trace, lock));
}

ApiReply fetch(Endpoint endpoint, std::string_view tail, TraceLines trace, Lock lock)
{
    return ApiReply::fromWire(fetchText(endpoint, tail, trace, lock));
}

} // namespace client
