#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "market/ColumnFile.h"

class QWidget;

namespace market {

// A column file as the overview and the set-up dialog read it.
struct ColumnFileChoice
{
    std::optional<LoadedColumnFile> file; // nullopt when neither copy could be read
    bool shipped = false;                 // `file` is the shipped copy
    std::filesystem::path failed;         // the user's file that could not be read; empty when it was
};

// The user's file `name` in `dir`; when it is missing, not JSON or without categories, the shipped copy in
// `shippedDir` instead. Nothing is written: the user's file stays as it is, so a hand edit
// with a typo can still be mended.
ColumnFileChoice chooseColumnFile(const std::filesystem::path& dir, const char* name,
                                  const std::filesystem::path& shippedDir);

// The message naming a user's column file that could not be read.
std::string columnFileProblemText(const ColumnFileChoice& choice);

// ChooseColumnFile with the program's shipped files; a file that could not be read is
// named in a message box (and the trace) before the caller carries on.
ColumnFileChoice readColumnFileOrWarn(const std::filesystem::path& dir, const char* name, QWidget* parent);

} // namespace market
