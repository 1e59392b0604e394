#include "Call.h"

#include "CodePage.h"
#include "Trace.h"
#include "Transport.h"

namespace client {
namespace {

void traceReply(TraceLines lines, const std::string& wire)
{
    if (!lines.reply || !traceEnabled())
        return;
    if (!lines.title.empty())
        trace(lines.title);
    trace(WireToUtf8(wire));
    if (!lines.end.empty())
        trace(lines.end);
}

} // namespace

std::string SendSigned(Endpoint endpoint, std::vector<Param> params, TraceLines trace, Lock lock)
{
    const SignedRequest request = BuildSignedRequest(endpoint, std::move(params));
    std::string reply;
    if (lock == Lock::Locked)
        HttpPostForm(request.url, request.body, PostLock(), reply);
    else
        HttpPostFormNoLock(request.url, request.body, reply);
    traceReply(trace, reply);
    return reply;
}

std::string FetchText(Endpoint endpoint, std::string_view tail, TraceLines trace, Lock lock)
{
    const std::string url = EndpointUrl(endpoint, tail);
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
    return ApiReply::FromWire(SendSigned(endpoint, std::move(params), trace, lock));
}

ApiReply Fetch(Endpoint endpoint, std::string_view tail, TraceLines trace, Lock lock)
{
    return ApiReply::FromWire(FetchText(endpoint, tail, trace, lock));
}

} // namespace client
