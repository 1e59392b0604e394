// A poll after a poll ("/api/histogram/<code>/<period>" twice): the candles the tail parse
// keeps and reads again are those of a whole parse of the second reply, whatever the two
// texts are. The input is the two replies one after the other, cut at the first NUL byte.
#include <vector>

#include "chart/ChartReplies.h"
#include "chart/ReplyTail.h"
#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::text(data, size);
    const std::size_t cut = input.find('\0');
    if (cut == std::string_view::npos)
        return 0;
    const std::string second = client::wireToUtf8(input.substr(cut + 1));
    chart::ReplyTailReader reader;
    std::vector<chart::CandleRecord> held;
    const chart::ReplyTailReader::Result first = reader.read(client::wireToUtf8(input.substr(0, cut)));
    if (first.reply.success)
        chart::takeRecords(held, first, chart::candleRecords(first.reply.infor));
    const chart::ReplyTailReader::Result next = reader.read(second);
    const client::ApiReply whole = client::ApiReply::fromUtf8(second);
    // A reply read whole is read as ever. (A tail nested deeper than the reader's limit less the
    // envelope's two levels could be read where the whole is refused: not checked.)
    FUZZ_CHECK(!whole.success || next.reply.success);
    if (!whole.success)
        return 0;
    chart::takeRecords(held, next, chart::candleRecords(next.reply.infor));
    FUZZ_CHECK(held == chart::candleRecords(whole.infor));
    return 0;
}
