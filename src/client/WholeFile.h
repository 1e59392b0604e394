#pragma once

#include <filesystem>
#include <string_view>

namespace client {

// Replaces the file with `bytes` or leaves it as it was: the bytes go to a temporary file
// in the same folder, reach the disk, and only then take the file's name. A crash or a
// full disk never leaves half a file. False when the file could not be written.
bool writeWholeFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace client
