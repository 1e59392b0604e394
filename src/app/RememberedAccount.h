#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace app {

inline constexpr const char* kRememberedAccountFile = "signinaccount";

// The account in "signinaccount" of the working folder: nullopt when the file is missing,
// empty or not JSON; otherwise its `id_account` as text (empty when absent).
std::optional<std::string> ReadRememberedAccount();

// The account a "signinaccount" file's bytes hold, by the same rule.
std::optional<std::string> ParseRememberedAccount(std::string_view bytes);

// Replaces the file with {"id_account": account}, or empties it for nullopt; whole or not
// at all. False when the file could not be written.
bool WriteRememberedAccount(const std::optional<std::string>& account);

} // namespace app
