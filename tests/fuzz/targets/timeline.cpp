// Time-share replies ("/api/timeline/<code>/<time>") and the volume colours of their minutes.
#include "chart/TimelineChart.h"
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto records = chart::parseTimelineReply(client::wireToUtf8(fuzz::text(data, size)));
    if (!records)
        return 0;
    FUZZ_CHECK(chart::volumeColours(*records).size() == records->size());
    return 0;
}
