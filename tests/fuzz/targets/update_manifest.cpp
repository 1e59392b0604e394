// The update manifest ("/pc_update.json"), UTF-8 or GBK.
#include "app/UpdateCheck.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const app::UpdateDecision d = app::EvaluateManifest(fuzz::text(data, size), "v1.6");
    if (!d.announce)
        FUZZ_CHECK(!d.forced && d.message.empty());
    return 0;
}
