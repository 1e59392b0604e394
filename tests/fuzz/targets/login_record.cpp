// The login reply and the user record it fills.
#include "app/LoginRequest.h"
#include "client/ApiReply.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const client::ApiReply reply = client::ApiReply::fromWire(fuzz::text(data, size));
    if (!reply.parsed || !reply.success)
        return 0;
    const UserRecord r = app::RecordFromReply("100001", "123456", reply.infor);
    FUZZ_CHECK(r.id == "100001" && r.password == "123456");
    return 0;
}
