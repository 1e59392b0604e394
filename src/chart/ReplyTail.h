#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "client/ApiReply.h"

namespace chart {

// Reads the polled replies whose "infor" array of records repeats the history already held
// and changes only at its end. It keeps the text of the last reply it read and where each of
// its records starts; a new reply that repeats that text up to some record is parsed (still
// with JsonCpp) from the record boundary at or before the first byte that differs, and the
// records before it are the ones already held. A reply whose envelope or earlier text
// differs, or the first one, is parsed whole. No window system needed.
class ReplyTailReader final
{
public:
    struct Result
    {
        // The envelope; on a tail read its "infor" holds only the records from `from` on.
        client::ApiReply reply;
        // Index of the first record in reply.infor; the records before it are unchanged.
        std::size_t from = 0;
        bool whole = true;
    };

    // Reads a reply (UTF-8). The text is kept for the next one.
    Result read(std::string utf8);
    // The next reply is parsed whole.
    void forget();

private:
    Result readWhole(std::string utf8);

    std::string m_text;
    std::vector<std::size_t> m_starts; // where each record of m_text begins
    std::size_t m_arrayEnd = 0;         // just past the array's closing bracket
    std::string m_msg;
};

// Brings `held`, the records of the replies read so far, up to date with a read whose
// records from read.from on (all of them when it was whole) are `records`. Returns the index
// of the first record that changed: records read again may equal those held.
template <class Record>
std::size_t takeRecords(std::vector<Record>& held, const ReplyTailReader::Result& read,
                        const std::vector<Record>& records)
{
    const std::size_t kept = read.whole ? 0 : std::min(read.from, held.size());
    std::size_t same = 0;
    while (kept + same < held.size() && same < records.size() && records[same] == held[kept + same])
        ++same;
    held.resize(kept);
    held.insert(held.end(), records.begin(), records.end());
    return kept + same;
}

// Length of the text that two texts have in common at their start.
std::size_t commonPrefixLength(std::string_view a, std::string_view b);

} // namespace chart
