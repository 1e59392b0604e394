#include "ApiSign.h"

#include <cstdio>
#include <ctime>

#include <openssl/evp.h>

#include "CodePage.h"

namespace client {

std::string ApiSign(std::string_view bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    // EVP_Digest keeps its own context, so concurrent callers never share state.
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1)
        return {};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 0x0F];
    }
    return out;
}

std::uint32_t CurrentTimestamp()
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)) & 0xFFFFFFFFu);
}

std::string timestampText(std::uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(v));
    return text;
}

std::string hashPassword(std::string_view utf8Password)
{
    return ApiSign(utf8ToWire(utf8Password));
}

} // namespace client
