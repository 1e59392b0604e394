#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/formula/Language.h"

namespace chart::formula {

// Where a formula is drawn: over the candles on the price scale, or in the oscillator area
// under the volumes with a scale of its own.
enum class Placement { Overlay, Oscillator };

// A formula as the trader keeps it: what the editor shows and the formulas file holds.
struct Definition
{
    std::string name;
    std::string description;
    Placement placement = Placement::Oscillator;
    std::vector<Parameter> parameters; // up to kMaxParameters
    std::string text;

    bool operator==(const Definition&) const = default;
};

// The six built-in indicators written in the language (MA, VOL-MA, MACD, KDJ, RSI, BOLL):
// evaluated, they give the built-ins' numbers. Read-only; a copy is a new formula.
const std::vector<Definition>& builtinFormulas();
bool isBuiltinName(std::string_view name);

// The text compiled with the parameters' values.
Compiled compileDefinition(const Definition& d);

// Everything that keeps a formula from being saved: its name (empty, too long, a built-in's,
// or one of `otherNames`, the trader's other formulas), its parameters (names, numbers,
// default within minimum and maximum) and its text's errors. Empty when it can be saved.
std::vector<Diagnostic> checkDefinition(const Definition& d, std::span<const std::string> otherNames = {});

// The legend's name of a formula: "MACD(12,26,9)", the name alone without parameters.
std::string titleOf(const Definition& d);
// A number as the language writes it, whatever the desktop's language: "12", "0.5".
std::string numberText(double v);

// The trader's formulas in the per-user configuration folder.
inline constexpr const char* kFormulaFile = "formulas";
inline constexpr std::size_t kMaxFormulaFileBytes = 4 * 1024 * 1024;
inline constexpr std::size_t kMaxFormulas = 200;
inline constexpr std::size_t kMaxDescriptionBytes = 1024;

// The formulas a file's bytes hold (UTF-8 JSON, as the terminal writes it): nullopt when they
// are not that, or break its rules (a formula without a name or text, two of one name, a
// parameter that is no number). A text with errors is kept: the editor shows them.
std::optional<std::vector<Definition>> parseFormulaFile(std::string_view bytes);
std::string formulaFileText(std::span<const Definition> formulas);

struct FormulaFileRead
{
    std::vector<Definition> formulas; // none when the file is missing or unreadable
    std::filesystem::path failed;     // the file when it exists but could not be read
};

// The formulas in `dir`; a file that cannot be read is left as it is.
FormulaFileRead readFormulas(const std::filesystem::path& dir);
// Replaces the file in `dir` whole, or leaves it as it was; false when it could not be saved.
bool writeFormulas(const std::filesystem::path& dir, std::span<const Definition> formulas);
// The message naming a formulas file that could not be read.
std::string formulaFileProblemText(const std::filesystem::path& failed);

// One formula as a plain UTF-8 text file: its name, description, placement and parameters
// in comments at the top ({名称:MACD2} ...), then its text. The whole file is itself a
// formula text, so it can be pasted into any editor of the language.
std::string exportText(const Definition& d);
// A file made by exportText, or any formula text (UTF-8, or GBK as older terminals save
// it): what its top comments do not say is taken from `fallbackName` (the file's name), an
// oscillator placement and no parameters.
Definition importText(std::string_view bytes, std::string_view fallbackName);
inline constexpr std::size_t kMaxImportBytes = kMaxTextBytes + 4096;
// A file name for the export of `d`: its name with the characters no file name may hold
// replaced, and ".txt".
std::string exportFileName(const Definition& d);

} // namespace chart::formula
