#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace market {

inline constexpr const char* kCatalogueFileName = "listtitle.txt";
inline constexpr const char* kCurrentColumnFileName = "currentlisttitle.txt";
inline constexpr const char* kBasicCategory = "基本行情";
inline constexpr const char* kExtendedCategory = "扩展行情";

struct ColumnEntry
{
    std::string name;  // caption
    std::string title; // key of the overview row member
    bool operator==(const ColumnEntry&) const = default;
};

struct ColumnCategory
{
    std::string name;
    std::vector<ColumnEntry> columns;
    bool operator==(const ColumnCategory&) const = default;
};

// The shape shared by the column catalogue and the current column file.
struct ColumnDocument
{
    std::vector<ColumnCategory> categories;
    bool operator==(const ColumnDocument&) const = default;

    const ColumnCategory* find(std::string_view categoryName) const;
};

// Members of the wrong type read as empty; nullopt only when the text is not JSON at all.
std::optional<ColumnDocument> parseColumnDocument(std::string_view utf8);

// The document in the styled form it is stored in (non-ASCII escaped as the styled writer does).
std::string styledColumnText(const ColumnDocument& document);

struct LoadedColumnFile
{
    ColumnDocument document;
    std::string styledText; // the file as re-written by the styled writer
};

// Reads a local column file: UTF-8, or GBK from an older installation. nullopt when the
// file is missing or not JSON.
std::optional<LoadedColumnFile> loadColumnFile(const std::filesystem::path& path);

// Replaces the file with the text, whole or not at all; false when it could not be written.
bool writeColumnFile(const std::filesystem::path& path, const std::string& text);

} // namespace market
