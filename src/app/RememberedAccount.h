#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "client/SettingsFolder.h"

namespace app {

inline constexpr const char* kRememberedAccountFile = "signinaccount";

// The account in "signinaccount" of the settings folder: none when the file is missing or
// empty (as the login window leaves it when nothing is to be remembered); its `id_account`
// as text (empty when absent); otherwise none, with the file named in `failed`.
client::SettingsRead<std::string> ReadRememberedAccount();
// The message naming a file that could not be read.
std::string rememberedAccountProblemText(const std::filesystem::path& failed);

// The account a "signinaccount" file's bytes hold: nullopt when they are no JSON object.
std::optional<std::string> ParseRememberedAccount(std::string_view bytes);

// Replaces the file with {"id_account": account}, or empties it for nullopt; whole or not
// at all. False when the file could not be written.
bool WriteRememberedAccount(const std::optional<std::string>& account);

} // namespace app
