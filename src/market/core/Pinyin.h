#pragma once

#include <string>
#include <string_view>

namespace market {

// What a trader types for a name besides the name itself, by this market's habit: the
// pinyin of its Han characters and their initials ("小酒窖": "xiao jiu jiao", "xjj"). ASCII
// letters and digits stay as they are, lower case, in both ("ST小酒窖": "st xiao jiu jiao",
// "stxjj"); anything else only separates.
struct NameKeys
{
    std::string pinyin;   // words separated by one space
    std::string initials; // no spaces
    bool operator==(const NameKeys&) const = default;
};

// Any thread. Empty keys for a name the transliterator cannot read (not UTF-8).
NameKeys pinyinKeys(std::string_view name);

// Whether `typed` (spaces ignored, ASCII case ignored) is part of the pinyin or the initials.
bool matchesPinyin(const NameKeys& keys, std::string_view typed);

} // namespace market
