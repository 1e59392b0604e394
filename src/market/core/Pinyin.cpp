#include "market/core/Pinyin.h"

#include <memory>
#include <mutex>

#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/unistr.h>

namespace market {
namespace {

bool asciiAlnum(UChar32 c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string withoutSpaces(std::string_view text)
{
    std::string out;
    for (const char c : text)
        if (c != ' ')
            out += lower(c);
    return out;
}

// The pinyin of one Han character, plain ASCII without tones; empty when ICU has none.
class HanReader
{
public:
    std::string read(UChar32 c)
    {
        std::lock_guard lock(m_mutex); // a transliterator is not to be shared between threads
        if (!m_latin)
            return {};
        icu::UnicodeString text(c);
        m_latin->transliterate(text);
        std::string out;
        text.toUTF8String(out);
        std::string letters;
        for (const char ch : out)
            if (asciiAlnum(static_cast<unsigned char>(ch)))
                letters += lower(ch);
        return letters;
    }

private:
    std::mutex m_mutex;
    std::unique_ptr<icu::Transliterator> m_latin = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Han-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
};

HanReader& hanReader()
{
    static HanReader reader; // per process: built once, the rules take a while to load
    return reader;
}

} // namespace

NameKeys pinyinKeys(std::string_view name)
{
    NameKeys keys;
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(name.data(), int32_t(name.size())));
    if (text.isBogus())
        return keys;
    bool inWord = false; // within a run of ASCII letters and digits
    auto startWord = [&keys] {
        if (!keys.pinyin.empty() && keys.pinyin.back() != ' ')
            keys.pinyin += ' ';
    };
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        const UChar32 c = text.char32At(i);
        if (asciiAlnum(c)) {
            if (!inWord)
                startWord();
            inWord = true;
            keys.pinyin += lower(char(c));
            keys.initials += lower(char(c));
            continue;
        }
        inWord = false;
        UErrorCode status = U_ZERO_ERROR;
        if (c == 0xFFFD || uscript_getScript(c, &status) != USCRIPT_HAN || U_FAILURE(status))
            continue;
        const std::string syllable = hanReader().read(c);
        if (syllable.empty())
            continue;
        startWord();
        keys.pinyin += syllable;
        keys.initials += syllable.front();
        keys.pinyin += ' ';
    }
    while (!keys.pinyin.empty() && keys.pinyin.back() == ' ')
        keys.pinyin.pop_back();
    return keys;
}

bool matchesPinyin(const NameKeys& keys, std::string_view typed)
{
    const std::string wanted = withoutSpaces(typed);
    return !wanted.empty() &&
           (keys.initials.find(wanted) != std::string::npos || withoutSpaces(keys.pinyin).find(wanted) != std::string::npos);
}

} // namespace market
