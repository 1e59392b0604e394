#pragma once

#include <cstddef>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace client {

// What reading one settings file came to.
template <class T>
struct SettingsRead
{
    std::optional<T> value;       // the parsed value; nullopt when missing or unusable
    std::filesystem::path failed; // the file, when it exists but could not be used
    std::string reason;           // why not, for the trace

    bool missing() const { return !value && failed.empty(); }
};

// The folder of the terminal's settings files (the per-user configuration folder, or the
// working folder given on the command line). Every settings file is read and written here:
// whatever a file holds (any bytes, a folder of that name, no permission, megabytes,
// numbers past 64 bits) a read returns the value or the named problem and never throws, and
// a write replaces the file whole or leaves it as it was.
class SettingsFolder final
{
public:
    // Far beyond any settings file the terminal writes: a larger one is not one of ours.
    static constexpr std::size_t kDefaultMaxBytes = 256 * 1024;

    // An empty `dir` is the process's working folder.
    explicit SettingsFolder(std::filesystem::path dir = {});

    const std::filesystem::path& dir() const { return m_dir; }
    std::filesystem::path pathOf(std::string_view name) const;

    // The file's bytes: nullopt in `value` when it is missing (quietly) or cannot be read
    // (named in `failed`): not a regular file, unreadable, or over `maxBytes`.
    SettingsRead<std::string> readBytes(std::string_view name, std::size_t maxBytes = kDefaultMaxBytes) const;

    // The value `parse` makes of the file's bytes. `parse` takes a std::string_view and
    // returns a std::optional; nullopt, or anything it throws, names the file as unusable.
    template <class Parse>
    auto read(std::string_view name, Parse&& parse, std::size_t maxBytes = kDefaultMaxBytes) const
        -> SettingsRead<typename std::invoke_result_t<Parse, std::string_view>::value_type>;

    // Replaces the file whole or leaves it as it was; false when it could not be written.
    bool write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path m_dir;
};

// The message that names a settings file the terminal could not use: what it holds, the
// file's absolute path, and what the terminal does instead.
std::string settingsProblemText(std::string_view what, const std::filesystem::path& failed,
                                std::string_view instead);

template <class Parse>
auto SettingsFolder::read(std::string_view name, Parse&& parse, std::size_t maxBytes) const
    -> SettingsRead<typename std::invoke_result_t<Parse, std::string_view>::value_type>
{
    using T = typename std::invoke_result_t<Parse, std::string_view>::value_type;
    SettingsRead<std::string> bytes = readBytes(name, maxBytes);
    SettingsRead<T> result;
    result.failed = std::move(bytes.failed);
    result.reason = std::move(bytes.reason);
    if (!bytes.value)
        return result;
    try {
        result.value = parse(std::string_view(*bytes.value));
        if (!result.value)
            result.reason = "its content is not what the terminal writes there";
    } catch (const std::exception& e) {
        result.value.reset();
        result.reason = std::string("reading it failed: ") + e.what();
    } catch (...) {
        result.value.reset();
        result.reason = "reading it failed";
    }
    if (!result.value)
        result.failed = pathOf(name);
    return result;
}

} // namespace client

namespace client {

// The settings folder the program settled at its start (the working folder in a program or
// test that settled none).
SettingsFolder settingsFolder();

} // namespace client
