#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The indicator formula language of the terminals this market's traders grew up with:
//
//   DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);  DEA:EMA(DIF,MID);  MACD:(DIF-DEA)*2,COLORSTICK;
//
// A formula is a list of statements separated by ";". `NAME:expr` is an output line, drawn
// and named in the legend; `NAME:=expr` an intermediate, not drawn; a bare `expr` an output
// named by its order (NONAME1, NONAME2, ... as those terminals name them). Comments are
// {...} and //... to the end of the line. Names are case-insensitive (ASCII letters; Chinese
// names are taken as written). Data: OPEN/O, HIGH/H, LOW/L, CLOSE/C, VOL/V. Numbers,
// + - * /, comparisons > < >= <= = <> (1 or 0), AND OR NOT, parentheses. Drawing
// attributes and colours follow an output after commas.
//
// Plain C++ without Qt: the chart draws what this computes. No text can hang, crash or
// exhaust memory: its length, the nesting of its expressions and the number of distinct
// operations are capped, the language has no loops, every window is clamped to the history,
// and a division by zero or a missing value gives "no value" (NaN), never an error.
namespace chart::formula {

inline constexpr std::size_t kMaxTextBytes = 32 * 1024;
// Parentheses, calls and signs inside one another.
inline constexpr int kMaxDepth = 64;
// Distinct operations after equal ones are merged and constants worked out: each keeps one
// value per candle.
inline constexpr std::size_t kMaxNodes = 1000;
inline constexpr std::size_t kMaxOutputs = 8;
inline constexpr std::size_t kMaxParameters = 6;
inline constexpr std::size_t kMaxNameBytes = 64;

// One problem found in a formula, at a line and a column (characters, both from 1); 0 for a
// problem of the formula as a whole (its name, its parameters).
struct Diagnostic
{
    int line = 0;
    int column = 0;
    std::string message;

    bool operator==(const Diagnostic&) const = default;
};

// "第2行第14列：未知函数 EMAX"; the message alone when it has no place.
std::string diagnosticText(const Diagnostic& d);

// How an output is drawn. Line by default; COLORSTICK bars from zero in the rise colour
// above it and the fall colour below; STICK bars from zero in the line's colour; VOLSTICK
// volume bars from the bottom, hollow on a rising candle and filled on a falling one;
// LINESTICK a line and bars from zero; NODRAW nothing (its value is in the legend); DOTLINE
// a dotted line.
enum class Style : std::uint8_t { Line, DotLine, ColorStick, Stick, VolStick, LineStick, NoDraw };

struct Colour
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Colour&) const = default;
};

struct OutputSpec
{
    std::string name; // as written, or NONAMEk for a bare expression
    Style style = Style::Line;
    std::optional<Colour> colour; // none: the chart's colour for the output's place
    int thickness = 1;            // LINETHICK1..9
    std::uint32_t node = 0;       // the operation whose values the output draws
};

// A parameter of a formula: the text uses it by name. `value` is the one in force (the
// default the editor gives), within minimum..maximum.
struct Parameter
{
    std::string name;
    double value = 0;
    double minimum = 0;
    double maximum = 0;

    bool operator==(const Parameter&) const = default;
};

struct Program;

// What compiling a text came to: the program, or every problem found (never both).
struct Compiled
{
    std::shared_ptr<const Program> program;
    std::vector<Diagnostic> errors;

    bool ok() const { return program != nullptr; }
};

// Reads `text` with `parameters` in force. Never throws.
Compiled compile(std::string_view text, std::span<const Parameter> parameters = {});

// The outputs of a compiled program, in the order they are written.
const std::vector<OutputSpec>& outputsOf(const Program& program);

// A name's key: ASCII letters in upper case, everything else as it is.
std::string nameKey(std::string_view name);

// Whether `name` can name a parameter or a variable: letters, digits and "_", Chinese
// characters, not starting with a digit, not a word of the language. Empty when it can; else
// why not.
std::string checkName(std::string_view name);

} // namespace chart::formula
