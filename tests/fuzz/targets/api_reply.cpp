// The reply envelope from wire text, and the member readers on whatever "infor" holds.
#include <cmath>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"

namespace {

void readAll(const Json::Value& value, int depth)
{
    if (depth > 4)
        return;
    int n = 0;
    for (const Json::Value& member : value) {
        if (++n > 64)
            break;
        FUZZ_CHECK(std::isfinite(client::jsonReal(member)));
        client::jsonText(member);
        client::jsonInt(member);
        client::JsonInt64(member);
        if (member.isObject() || member.isArray())
            readAll(member, depth + 1);
    }
    if (value.isObject()) {
        for (const char* key : {"id", "price", "vol", "time", "cash", "msg", "name"}) {
            FUZZ_CHECK(std::isfinite(client::jsonReal(value, key)));
            client::jsonText(value, key);
            client::jsonInt(value, key);
            client::JsonInt64(value, key);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view wire = fuzz::text(data, size);
    FUZZ_CHECK(client::isValidUtf8(client::wireToUtf8(wire)));
    const client::ApiReply reply = client::ApiReply::fromWire(wire);
    if (!reply.parsed)
        FUZZ_CHECK(!reply.success && reply.msg.empty() && reply.infor.isNull());
    FUZZ_CHECK(reply.infor.isNull() || reply.infor.isObject() || reply.infor.isArray());
    readAll(reply.infor, 0);
    return 0;
}
