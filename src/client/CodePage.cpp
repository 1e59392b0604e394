#include "CodePage.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <iconv.h>

namespace client {
namespace {

bool isAscii(std::string_view text)
{
    // 64 bytes a step, so that a long reply (a candle history) is checked at memory speed.
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::size_t i = 0;
    for (; i + 64 <= text.size(); i += 64) {
        std::uint64_t any = 0;
        for (std::size_t k = 0; k < 64; k += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + i + k, sizeof word);
            any |= word;
        }
        if (any & kHighBits)
            return false;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

// Length of the UTF-8 sequence that begins with `lead`, 1 for a stray byte.
size_t Utf8SequenceLength(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// An open converter. Opening one costs more than converting a reply, so each thread keeps
// one per direction (iconv state is not shared between threads).
class Converter final
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

const Converter& toUtf8Converter()
{
    thread_local const Converter converter("UTF-8", kWireCodePage);
    return converter;
}

const Converter& toWireConverter()
{
    thread_local const Converter converter(kWireCodePage, "UTF-8");
    return converter;
}

// Converts with iconv, replacing each unconvertible input character by `replacement`.
// From GBK one bad byte is skipped; from UTF-8 the whole character is.
std::string convert(std::string_view input, const Converter& converter, std::string_view replacement,
                    bool utf8Source)
{
    if (!converter.valid())
        return std::string(input);
    iconv_t cd = converter.get();
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // initial state, whatever the last call left

    std::string out;
    out.reserve(input.size() * 3 / 2 + 4);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (a truncated sequence at the end): skip one byte.
        out.append(replacement);
        size_t skip = utf8Source ? Utf8SequenceLength(static_cast<unsigned char>(*in)) : 1;
        if (skip > inLeft)
            skip = inLeft;
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    return out;
}

} // namespace

std::string wireToUtf8(std::string_view wire)
{
    if (isAscii(wire))
        return std::string(wire);
    return convert(wire, toUtf8Converter(), "\xEF\xBF\xBD", false);
}

std::string utf8ToWire(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    return convert(utf8, toWireConverter(), "?", true);
}

bool fitsWireCodePage(std::string_view utf8)
{
    if (isAscii(utf8))
        return true;
    if (!isValidUtf8(utf8))
        return false;
    const Converter& converter = toWireConverter();
    if (!converter.valid())
        return false;
    iconv_t cd = converter.get();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) && errno != E2BIG) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            return false;
        }
    }
    return true;
}

bool isValidUtf8(std::string_view text)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t len = 0;
        unsigned int cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        const bool overlong = (len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

std::string localFileToUtf8(std::string_view bytes)
{
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return wireToUtf8(bytes);
}

} // namespace client
