#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace client {

// MD5 (RFC 1321) of the bytes as 32 lower-case hexadecimal digits. Thread-safe.
std::string ApiSign(std::string_view bytes);

// The timestamp `v`: whole seconds since the epoch, low 32 bits.
std::uint32_t CurrentTimestamp();
std::string timestampText(std::uint32_t v); // "%u"

// The hashed form of a password as typed, as the login and password requests send it.
// A password is hashed in the wire code page, the bytes the exchange has always seen;
// for ASCII that is the text itself.
std::string hashPassword(std::string_view utf8Password);

} // namespace client
