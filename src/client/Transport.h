#pragma once

#include <cstddef>
#include <string>

#include "client/TransferLock.h"

namespace client {

// A reply body larger than this aborts the transfer and reads as unparsable, so a
// runaway server cannot exhaust the terminal's memory.
inline constexpr std::size_t kMaxReplyBytes = 64u * 1024u * 1024u;

// Serialise every locked POST and every locked GET for the whole transfer, first come
// first served.
TransferLock& PostLock();
TransferLock& GetLock();

// libcurl's write callback: appends size * count bytes to `reply` (a std::string*).
// Returns count, or a value libcurl takes as failure when data or reply is missing or
// the body would pass kMaxReplyBytes (the reply is then emptied).
std::size_t AppendReply(const char* data, std::size_t size, std::size_t count, void* reply);

// Blocking transfers on a fresh handle. Return 2 when no handle could be created.
// HttpPostForm returns 1 after any attempt; the others return libcurl's result code.
// The locked variants empty `reply` first; the unlocked ones append to the caller's
// (empty) buffer.
int HttpPostForm(const std::string& url, const std::string& body, TransferLock& lock, std::string& reply);
int HttpGetUrl(const std::string& url, std::string& reply);
int HttpPostFormNoLock(const std::string& url, const std::string& body, std::string& reply);
int HttpGetUrlNoLock(const std::string& url, std::string& reply);

// Test hook: makes the next handle creations fail, to exercise the "no handle" path.
void failNextHandlesForTest(int count);

} // namespace client
