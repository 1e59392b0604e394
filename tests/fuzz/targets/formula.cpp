// Any text through the formula language: read with parameters in force, evaluated over a
// candle history whole and again as polls change its newest candles, cut it back and add to
// it; and the same bytes as a formulas file and as an imported formula. None may crash,
// hang or balloon; a text reads to a program or to errors with their places, never both;
// every line is as long as the history; a formulas file reads back what it writes.
#include <cmath>
#include <string>
#include <vector>

#include "chart/formula/Definition.h"
#include "chart/formula/Evaluator.h"
#include "chart/formula/Program.h"
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"

using namespace chart::formula;

namespace {

// A walk with flat stretches, one-trade candles and a zero volume: the cases the functions
// treat apart.
std::vector<Bar> history(std::size_t count)
{
    std::vector<Bar> bars;
    double price = 36.2;
    for (std::size_t i = 0; i < count; ++i) {
        const double step = i % 17 < 5 ? 0 : double(int(i * 7919 % 23) - 11) / 10;
        const double open = price;
        price = std::max(0.01, price + step);
        const bool oneTrade = i % 13 == 0;
        bars.push_back({open, oneTrade ? price : std::max(open, price) + 0.3,
                        oneTrade ? price : std::min(open, price) - 0.3, price, i % 11 == 0 ? 0.0 : double(i % 97)});
    }
    return bars;
}

void checkLines(const Evaluation& e, std::size_t n)
{
    FUZZ_CHECK(e.size() == n);
    for (std::size_t o = 0; o < e.lineCount(); ++o)
        FUZZ_CHECK(e.line(o).size() == n);
}

bool plainText(const std::string& s)
{
    return client::isValidUtf8(s) && s.find('\0') == std::string::npos;
}

bool plainTexts(const std::vector<Definition>& formulas)
{
    for (const Definition& d : formulas) {
        if (!plainText(d.name) || !plainText(d.description) || !plainText(d.text))
            return false;
        for (const Parameter& p : d.parameters)
            if (!plainText(p.name))
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::text(data, size);
    static const std::vector<Bar> bars = history(160);
    static const std::vector<Parameter> parameters{{"N", 5, 1, 100}, {"M", 2, 1, 10}, {"短", 3, 1, 9}};

    const Compiled compiled = compile(text, parameters);
    FUZZ_CHECK(compiled.ok() == compiled.errors.empty());
    for (const Diagnostic& d : compiled.errors)
        FUZZ_CHECK(d.line >= 0 && d.column >= 0 && !d.message.empty() && !diagnosticText(d).empty());
    if (compiled.ok()) {
        FUZZ_CHECK(compiled.program->nodes.size() <= kMaxNodes);
        FUZZ_CHECK(outputsOf(*compiled.program).size() <= kMaxOutputs);
        Evaluation e(compiled.program);
        History h;
        h.assign(std::span(bars).first(120));
        e.update(h, 0);
        checkLines(e, 120);
        // A poll: the newest candle moves and two are added.
        std::vector<Bar> polled(bars.begin(), bars.begin() + 122);
        polled[119].close += 0.4;
        h.assign(polled, 119);
        FUZZ_CHECK(e.update(h, 119) <= 119);
        checkLines(e, 122);
        // Another reply, shorter.
        h.resize(40);
        e.update(h, 40);
        checkLines(e, 40);
    }

    if (const auto formulas = parseFormulaFile(text)) {
        FUZZ_CHECK(formulas->size() <= kMaxFormulas);
        if (plainTexts(*formulas))
            FUZZ_CHECK(parseFormulaFile(formulaFileText(*formulas)) == formulas);
    }
    const Definition imported = importText(text, "导入");
    FUZZ_CHECK(imported.text.size() <= kMaxTextBytes && imported.parameters.size() <= kMaxParameters);
    checkDefinition(imported);
    return 0;
}
