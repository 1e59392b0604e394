// The line choice file "connect".
#include "client/ServerLine.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<int> line = client::parseLineChoice(fuzz::text(data, size));
    FUZZ_CHECK(!line || *line == 0 || *line == 1);
    return 0;
}
