#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "chart/ChartReplies.h"
#include "client/ApiReply.h"
#include "session/Records.h"

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
std::size_t takeRecords(std::vector<Record>& held, std::size_t from, bool whole, const std::vector<Record>& records)
{
    const std::size_t kept = whole ? 0 : std::min(from, held.size());
    std::size_t same = 0;
    while (kept + same < held.size() && same < records.size() && records[same] == held[kept + same])
        ++same;
    held.resize(kept);
    held.insert(held.end(), records.begin(), records.end());
    return kept + same;
}

template <class Record>
std::size_t takeRecords(std::vector<Record>& held, const ReplyTailReader::Result& read,
                        const std::vector<Record>& records)
{
    return takeRecords(held, read.from, read.whole, records);
}

// What a polled chart reply hands its chart: the records from `from` on (all of them when
// whole), read on the poller's thread, for the chart to take on its own.
template <class Record>
struct RecordBatch
{
    market::CurrentItem item;
    int periodCode = 0;
    std::vector<Record> records;
    std::size_t from = 0;
    bool whole = true;
};

// Reads one chart's replies in the order they come: only the tail of one that repeats the last
// reply read for the same item and period. Nothing for a reply that reports no success.
template <class Record>
class RecordReader final
{
public:
    std::optional<RecordBatch<Record>> read(std::string utf8, const market::CurrentItem& item, int periodCode = 0)
    {
        // Another item's history, or another period's, is another text.
        if (item.generation != m_generation || periodCode != m_period)
            m_reader.forget();
        m_generation = item.generation;
        m_period = periodCode;
        ReplyTailReader::Result read = m_reader.read(std::move(utf8));
        if (!read.reply.success)
            return std::nullopt;
        RecordBatch<Record> batch{item, periodCode, {}, read.from, read.whole};
        if constexpr (std::is_same_v<Record, CandleRecord>)
            batch.records = candleRecords(read.reply.infor);
        else
            batch.records = timelineRecords(read.reply.infor);
        return batch;
    }

private:
    ReplyTailReader m_reader;
    std::uint64_t m_generation = 0;
    int m_period = 0;
};

// Length of the text that two texts have in common at their start.
std::size_t commonPrefixLength(std::string_view a, std::string_view b);

} // namespace chart
