#pragma once

#include <string>
#include <string_view>

namespace client {

// The exchange speaks code page 936 on the wire.
inline constexpr const char* kWireCodePage = "GBK";

// Wire text to UTF-8. ASCII passes unchanged; a byte sequence that is not valid GBK
// becomes U+FFFD so that one bad byte never loses the rest of a reply.
std::string wireToUtf8(std::string_view wire);

// UTF-8 to wire text. Characters GBK cannot hold become '?'.
std::string utf8ToWire(std::string_view utf8);

// Whether every character of a UTF-8 text has a form in the wire code page, so that
// utf8ToWire carries it as it stands instead of as '?'. Invalid UTF-8 does not fit.
bool fitsWireCodePage(std::string_view utf8);

bool isValidUtf8(std::string_view text);

// Local settings files are UTF-8; one that is not valid UTF-8 is taken as GBK, so files
// written by an older installation still load.
std::string localFileToUtf8(std::string_view bytes);

} // namespace client
