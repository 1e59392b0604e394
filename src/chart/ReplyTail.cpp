#include "chart/ReplyTail.h"

#include <algorithm>
#include <cstring>

namespace chart {

std::size_t commonPrefixLength(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    // Block by block first: memcmp runs at memory speed over a long history.
    constexpr std::size_t kBlock = 4096;
    std::size_t i = 0;
    while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0)
        i += kBlock;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

void ReplyTailReader::forget()
{
    m_text.clear();
    m_starts.clear();
}

ReplyTailReader::Result ReplyTailReader::read(std::string utf8)
{
    if (m_starts.empty())
        return readWhole(std::move(utf8));
    const std::size_t same = commonPrefixLength(m_text, utf8);
    // Back up to the last record that starts before the first differing byte: its first byte
    // is the same in both texts, so the new text holds a record there too.
    // The envelope or the first record differs: nothing to keep.
    const auto after = std::lower_bound(m_starts.begin(), m_starts.end(), same);
    if (after - m_starts.begin() <= 1)
        return readWhole(std::move(utf8));
    const std::size_t k = std::size_t(after - m_starts.begin()) - 1;
    const std::size_t at = m_starts[k];
    std::string tail;
    tail.reserve(utf8.size() - at + 1);
    tail.push_back('[');
    tail.append(utf8, at);
    Json::Value records;
    std::size_t end = 0;
    // What follows the records must be what followed them before, so the envelope's members
    // after "infor" are unchanged too.
    if (!client::parseLeadingJson(tail, records, end) || !records.isArray()
        || std::string_view(tail).substr(end) != std::string_view(m_text).substr(m_arrayEnd))
        return readWhole(std::move(utf8));

    // Offsets in the tail count from the bracket put in place of the byte before `at`.
    m_starts.resize(k);
    for (const Json::Value& r : records)
        m_starts.push_back(at - 1 + std::size_t(r.getOffsetStart()));
    m_arrayEnd = at - 1 + end;
    m_text = std::move(utf8);

    Result result;
    result.reply.parsed = true;
    result.reply.success = true;
    result.reply.msg = m_msg;
    result.reply.infor.swap(records);
    result.from = k;
    result.whole = false;
    return result;
}

ReplyTailReader::Result ReplyTailReader::readWhole(std::string utf8)
{
    Result result;
    result.reply = client::ApiReply::fromUtf8(utf8);
    forget();
    const Json::Value& infor = result.reply.infor;
    // Only a history can be extended: a failure or an empty list is read whole next time too.
    if (!result.reply.success || !infor.isArray() || infor.empty())
        return result;
    m_starts.reserve(infor.size());
    for (const Json::Value& r : infor)
        m_starts.push_back(std::size_t(r.getOffsetStart()));
    m_arrayEnd = std::size_t(infor.getOffsetLimit());
    m_msg = result.reply.msg;
    m_text = std::move(utf8);
    return result;
}

} // namespace chart
