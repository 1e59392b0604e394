// The formula's parser: tokens to a list of operations, equal ones merged and constants
// worked out, with every problem found reported at its line and column in words a trader
// understands. A problem in one statement does not hide those of the next: the parser
// reports it and carries on at the next ";".
#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

#include "chart/formula/Language.h"
#include "chart/formula/Program.h"
#include "chart/formula/private/Lexer.h"
#include "chart/formula/private/Scalar.h"

namespace chart::formula {
namespace {

using lexer::Tok;
using lexer::Token;

struct FunctionInfo
{
    const char* name;
    Op op;
    int arity;
    unsigned constantArgs; // bit i: argument i must be a number or a parameter
};

// The functions, with the conventions of the built-in indicators (Evaluator.cpp).
constexpr FunctionInfo kFunctions[] = {
    {"MA", Op::Ma, 2, 0b10},         {"EMA", Op::Ema, 2, 0b10},      {"SMA", Op::Sma, 3, 0b110},
    {"REF", Op::Ref, 2, 0},          {"HHV", Op::Hhv, 2, 0},         {"LLV", Op::Llv, 2, 0},
    {"SUM", Op::Sum, 2, 0},          {"COUNT", Op::Count, 2, 0},     {"CROSS", Op::Cross, 2, 0},
    {"IF", Op::If, 3, 0},            {"ABS", Op::Abs, 1, 0},         {"MAX", Op::Max, 2, 0},
    {"MIN", Op::Min, 2, 0},          {"STD", Op::Std, 2, 0b10},      {"STDP", Op::Stdp, 2, 0b10},
    {"AVEDEV", Op::Avedev, 2, 0b10}, {"BARSLAST", Op::BarsLast, 1, 0}, {"SQRT", Op::Sqrt, 1, 0},
    {"BARSCOUNT", Op::BarsCount, 1, 0}, {"NOT", Op::Not, 1, 0},
};

struct DataName
{
    const char* name;
    Op op;
};

constexpr DataName kData[] = {{"OPEN", Op::Open}, {"O", Op::Open}, {"HIGH", Op::High}, {"H", Op::High},
                              {"LOW", Op::Low},   {"L", Op::Low},  {"CLOSE", Op::Close}, {"C", Op::Close},
                              {"VOL", Op::Vol},   {"V", Op::Vol}};

struct StyleName
{
    const char* name;
    Style style;
};

constexpr StyleName kStyles[] = {{"COLORSTICK", Style::ColorStick}, {"STICK", Style::Stick},
                                 {"VOLSTICK", Style::VolStick},     {"LINESTICK", Style::LineStick},
                                 {"NODRAW", Style::NoDraw},         {"DOTLINE", Style::DotLine}};

struct ColourName
{
    const char* name;
    Colour colour;
};

constexpr ColourName kColours[] = {
    {"COLORRED", {255, 0, 0}},       {"COLORGREEN", {0, 255, 0}},     {"COLORBLUE", {0, 0, 255}},
    {"COLORYELLOW", {255, 255, 0}},  {"COLORWHITE", {255, 255, 255}}, {"COLORMAGENTA", {255, 0, 255}},
    {"COLORCYAN", {0, 255, 255}},    {"COLORGRAY", {128, 128, 128}},
};

const FunctionInfo* findFunction(const std::string& key)
{
    for (const FunctionInfo& f : kFunctions)
        if (key == f.name)
            return &f;
    return nullptr;
}

std::optional<Op> findData(const std::string& key)
{
    for (const DataName& d : kData)
        if (key == d.name)
            return d.op;
    return std::nullopt;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// COLORBBGGRR: six hexadecimal digits, blue first, as those terminals write a colour.
std::optional<Colour> hexColour(const std::string& key)
{
    if (key.size() != 11 || key.compare(0, 5, "COLOR") != 0)
        return std::nullopt;
    int digits[6];
    for (int i = 0; i < 6; ++i)
        if ((digits[i] = hexDigit(key[5 + std::size_t(i)])) < 0)
            return std::nullopt;
    const auto byte = [&](int i) { return std::uint8_t(digits[i] * 16 + digits[i + 1]); };
    return Colour{byte(4), byte(2), byte(0)};
}

std::optional<Colour> findColour(const std::string& key)
{
    for (const ColourName& c : kColours)
        if (key == c.name)
            return c.colour;
    return hexColour(key);
}

std::optional<Style> findStyle(const std::string& key)
{
    for (const StyleName& s : kStyles)
        if (key == s.name)
            return s.style;
    return std::nullopt;
}

// LINETHICK1..9.
int thicknessOf(const std::string& key)
{
    if (key.size() == 10 && key.compare(0, 9, "LINETHICK") == 0 && key[9] >= '1' && key[9] <= '9')
        return key[9] - '0';
    return 0;
}

bool isAttribute(const std::string& key)
{
    return findStyle(key) || findColour(key) || thicknessOf(key) > 0;
}

bool isReserved(const std::string& key)
{
    return findData(key) || key == "AND" || key == "OR" || key == "NOT" || isAttribute(key);
}

// Thrown after a problem has been reported that leaves the rest of the statement unreadable.
struct Bail
{
};
// Thrown when the formula is too big to go on at all.
struct Stop
{
};

class Builder
{
public:
    std::uint32_t add(Node node)
    {
        const int arity = arityOf(node.op);
        if (node.op != Op::Const && isElementwise(node.op)) {
            bool constant = true;
            for (int i = 0; i < arity; ++i)
                constant = constant && m_nodes[node.args[std::size_t(i)]].op == Op::Const;
            if (constant)
                return constantNode(fold(node));
        }
        if (node.op == Op::Const && std::isnan(node.value))
            node.value = scalar::kNone; // one NaN, whatever bits it came with
        const Key key{int(node.op), node.args[0], node.args[1], node.args[2], std::bit_cast<std::uint64_t>(node.value)};
        if (const auto it = m_index.find(key); it != m_index.end())
            return it->second;
        if (m_nodes.size() >= kMaxNodes)
            throw Stop{};
        const auto index = std::uint32_t(m_nodes.size());
        m_nodes.push_back(node);
        m_index.emplace(key, index);
        return index;
    }

    std::uint32_t constantNode(double v)
    {
        Node n;
        n.op = Op::Const;
        n.value = v;
        return add(n);
    }

    std::uint32_t node(Op op, std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0)
    {
        Node n;
        n.op = op;
        n.args = {a, b, c};
        return add(n);
    }

    bool isConstant(std::uint32_t index) const { return m_nodes[index].op == Op::Const; }
    std::vector<Node> take() { return std::move(m_nodes); }

private:
    using Key = std::tuple<int, std::uint32_t, std::uint32_t, std::uint32_t, std::uint64_t>;

    double fold(const Node& n) const
    {
        const auto v = [&](int i) { return m_nodes[n.args[std::size_t(i)]].value; };
        switch (arityOf(n.op)) {
        case 1: return scalar::unary(n.op, v(0));
        case 2: return scalar::binary(n.op, v(0), v(1));
        default: return scalar::choose(v(0), v(1), v(2));
        }
    }

    std::vector<Node> m_nodes;
    std::map<Key, std::uint32_t> m_index;
};

class Parser
{
public:
    Parser(std::vector<Token> tokens, std::span<const Parameter> parameters, std::vector<Diagnostic>& errors)
        : m_tokens(std::move(tokens))
        , m_errors(errors)
    {
        for (const Parameter& p : parameters) {
            const std::string why = checkName(p.name);
            if (!why.empty()) {
                report(0, 0, "参数“" + p.name + "”：" + why);
                continue;
            }
            if (!std::isfinite(p.value)) {
                report(0, 0, "参数 " + p.name + " 的值不是数字");
                continue;
            }
            if (!m_parameters.emplace(nameKey(p.name), p.value).second)
                report(0, 0, "参数 " + p.name + " 重复");
        }
    }

    void run()
    {
        try {
            while (peek().kind != Tok::End) {
                if (peek().kind == Tok::Semicolon) {
                    advance();
                    continue;
                }
                ++m_statements;
                try {
                    statement();
                } catch (const Bail&) {
                    while (peek().kind != Tok::End && peek().kind != Tok::Semicolon)
                        advance();
                }
            }
        } catch (const Stop&) {
            const Token& t = peek();
            report(t.line, t.column, "公式太复杂：不同的运算超过 " + std::to_string(kMaxNodes) + " 个");
            return;
        }
        const Token& end = peek();
        if (m_statements == 0)
            report(1, 1, "公式是空的");
        else if (m_outputs.empty() && m_errors.empty())
            report(end.line, end.column, "公式没有要画的线：用“名称:表达式”写出一条");
    }

    Program program()
    {
        Program p;
        p.nodes = m_builder.take();
        p.outputs = std::move(m_outputs);
        return p;
    }

private:
    const Token& peek(std::size_t ahead = 0) const
    {
        return m_tokens[std::min(m_at + ahead, m_tokens.size() - 1)];
    }

    const Token& advance()
    {
        const Token& t = m_tokens[m_at];
        if (m_at + 1 < m_tokens.size())
            ++m_at;
        return t;
    }

    bool isWord(const Token& t, const char* word) const { return t.kind == Tok::Ident && nameKey(t.text) == word; }

    void report(int line, int column, std::string message)
    {
        m_errors.push_back({line, column, std::move(message)});
    }

    void report(const Token& at, std::string message) { report(at.line, at.column, std::move(message)); }

    [[noreturn]] void fail(const Token& at, std::string message)
    {
        report(at, std::move(message));
        throw Bail{};
    }

    // What the token is, for a message: "“)”", or "结尾" at the end.
    static std::string shown(const Token& t)
    {
        return t.kind == Tok::End ? "公式结尾" : "“" + std::string(t.text) + "”";
    }

    class Nesting
    {
    public:
        Nesting(Parser& parser, const Token& at)
            : m_parser(parser)
        {
            if (++m_parser.m_depth > kMaxDepth) {
                --m_parser.m_depth;
                m_parser.fail(at, "嵌套太深：括号和函数最多套 " + std::to_string(kMaxDepth) + " 层");
            }
        }
        ~Nesting() { --m_parser.m_depth; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_parser;
    };

    // A name that a statement defines: reported when it cannot be one; false then.
    bool defines(const Token& name)
    {
        const std::string key = nameKey(name.text);
        if (isReserved(key)) {
            report(name, std::string(name.text) + " 是公式语言的保留字，不能用作名称");
            return false;
        }
        if (m_parameters.count(key)) {
            report(name, "名称 " + std::string(name.text) + " 与参数同名");
            return false;
        }
        if (m_variables.count(key)) {
            report(name, "名称 " + std::string(name.text) + " 已经定义过");
            return false;
        }
        return true;
    }

    void statement()
    {
        const Token& first = peek();
        const bool named = first.kind == Tok::Ident && (peek(1).kind == Tok::Colon || peek(1).kind == Tok::Assign);
        if (named) {
            const Token& name = advance();
            const bool drawn = advance().kind == Tok::Colon;
            const bool usable = defines(name);
            const std::uint32_t value = expression();
            OutputSpec output = attributes(drawn);
            if (usable)
                m_variables.emplace(nameKey(name.text), value);
            if (drawn) {
                output.name = std::string(name.text);
                addOutput(name, std::move(output), value);
            }
        } else {
            const std::uint32_t value = expression();
            OutputSpec output = attributes(true);
            output.name = "NONAME" + std::to_string(m_outputs.size() + 1);
            addOutput(first, std::move(output), value);
        }
        const Token& end = peek();
        if (end.kind != Tok::Semicolon && end.kind != Tok::End)
            fail(end, "这里缺少分号“;”：上一句在 " + shown(end) + " 之前就该结束");
    }

    void addOutput(const Token& at, OutputSpec output, std::uint32_t value)
    {
        if (m_outputs.size() >= kMaxOutputs) {
            report(at, "输出线太多：一个公式最多画 " + std::to_string(kMaxOutputs) + " 条线");
            return;
        }
        output.node = value;
        m_outputs.push_back(std::move(output));
    }

    OutputSpec attributes(bool drawn)
    {
        OutputSpec out;
        bool styled = false;
        bool coloured = false;
        bool thick = false;
        while (peek().kind == Tok::Comma) {
            advance();
            const Token& t = peek();
            if (t.kind != Tok::Ident)
                fail(t, "逗号后面应是画线方式或颜色（如 COLORSTICK、COLORRED），这里是 " + shown(t));
            advance();
            const std::string key = nameKey(t.text);
            const std::optional<Style> style = findStyle(key);
            const std::optional<Colour> colour = findColour(key);
            const int thickness = thicknessOf(key);
            if (!style && !colour && thickness == 0) {
                report(t, "未知的画线方式或颜色 " + std::string(t.text));
                continue;
            }
            if (!drawn) {
                report(t, "中间变量（:=）不画线，不能带 " + std::string(t.text));
                continue;
            }
            if (style) {
                if (styled)
                    report(t, "这条线已经有画线方式了，不能再加 " + std::string(t.text));
                styled = true;
                out.style = *style;
            } else if (colour) {
                if (coloured)
                    report(t, "这条线已经有颜色了，不能再加 " + std::string(t.text));
                coloured = true;
                out.colour = *colour;
            } else {
                if (thick)
                    report(t, "这条线已经有粗细了，不能再加 " + std::string(t.text));
                thick = true;
                out.thickness = thickness;
            }
        }
        return out;
    }

    std::uint32_t expression()
    {
        Nesting nesting(*this, peek());
        return orExpression();
    }

    std::uint32_t orExpression()
    {
        std::uint32_t left = andExpression();
        while (isWord(peek(), "OR") || peek().kind == Tok::OrOr) {
            advance();
            left = m_builder.node(Op::Or, left, andExpression());
        }
        return left;
    }

    std::uint32_t andExpression()
    {
        std::uint32_t left = notExpression();
        while (isWord(peek(), "AND") || peek().kind == Tok::AndAnd) {
            advance();
            left = m_builder.node(Op::And, left, notExpression());
        }
        return left;
    }

    // NOT X as a word binds looser than a comparison (NOT C>O is NOT (C>O)); NOT(X) is the
    // function, as tight as any call.
    std::uint32_t notExpression()
    {
        if (isWord(peek(), "NOT") && peek(1).kind != Tok::LParen) {
            Nesting nesting(*this, advance());
            return m_builder.node(Op::Not, notExpression());
        }
        return comparison();
    }

    std::uint32_t comparison()
    {
        std::uint32_t left = sum();
        for (;;) {
            Op op;
            switch (peek().kind) {
            case Tok::Lt: op = Op::Lt; break;
            case Tok::Gt: op = Op::Gt; break;
            case Tok::Le: op = Op::Le; break;
            case Tok::Ge: op = Op::Ge; break;
            case Tok::Eq: op = Op::Eq; break;
            case Tok::Ne: op = Op::Ne; break;
            default: return left;
            }
            advance();
            left = m_builder.node(op, left, sum());
        }
    }

    std::uint32_t sum()
    {
        std::uint32_t left = product();
        while (peek().kind == Tok::Plus || peek().kind == Tok::Minus) {
            const Op op = advance().kind == Tok::Plus ? Op::Add : Op::Sub;
            left = m_builder.node(op, left, product());
        }
        return left;
    }

    std::uint32_t product()
    {
        std::uint32_t left = signed_();
        while (peek().kind == Tok::Star || peek().kind == Tok::Slash) {
            const Op op = advance().kind == Tok::Star ? Op::Mul : Op::Div;
            left = m_builder.node(op, left, signed_());
        }
        return left;
    }

    std::uint32_t signed_()
    {
        if (peek().kind == Tok::Minus || peek().kind == Tok::Plus) {
            Nesting nesting(*this, peek());
            const bool minus = advance().kind == Tok::Minus;
            const std::uint32_t operand = signed_();
            return minus ? m_builder.node(Op::Neg, operand) : operand;
        }
        return primary();
    }

    std::uint32_t primary()
    {
        const Token& t = peek();
        switch (t.kind) {
        case Tok::Number:
            advance();
            return m_builder.constantNode(t.number);
        case Tok::Ident:
            advance();
            return peek().kind == Tok::LParen ? call(t) : name(t);
        case Tok::LParen: {
            advance();
            const std::uint32_t inner = expression();
            if (peek().kind != Tok::RParen)
                fail(peek(), "缺少右括号“)”，这里是 " + shown(peek()));
            advance();
            return inner;
        }
        case Tok::RParen: fail(t, "多余的右括号“)”，或它前面缺少表达式");
        case Tok::End: fail(t, "公式没写完：结尾缺少表达式");
        case Tok::Semicolon: fail(t, "分号“;”前面缺少表达式");
        default: fail(t, shown(t) + " 前面缺少表达式");
        }
    }

    std::uint32_t dummy() { return m_builder.constantNode(scalar::kNone); }

    std::uint32_t name(const Token& t)
    {
        const std::string key = nameKey(t.text);
        const std::string written(t.text);
        if (const auto v = m_variables.find(key); v != m_variables.end())
            return v->second;
        if (const auto p = m_parameters.find(key); p != m_parameters.end())
            return m_builder.constantNode(p->second);
        if (const std::optional<Op> data = findData(key))
            return m_builder.node(*data);
        if (findFunction(key)) {
            report(t, "函数 " + written + " 缺少参数：应写作 " + written + "(…)");
            return dummy();
        }
        if (key == "AND" || key == "OR" || key == "NOT")
            fail(t, written + " 前面缺少表达式");
        if (isAttribute(key)) {
            report(t, written + " 是画线方式或颜色，应写在一条线的逗号后面");
            return dummy();
        }
        report(t, "未知的名称 " + written + "：不是参数、行情数据，也不是前面定义过的变量");
        return dummy();
    }

    std::uint32_t call(const Token& t)
    {
        const std::string key = nameKey(t.text);
        const std::string written(t.text);
        advance(); // (
        struct Argument
        {
            std::uint32_t node;
            const Token* at;
        };
        std::vector<Argument> args;
        if (peek().kind != Tok::RParen) {
            for (;;) {
                const Token& at = peek();
                args.push_back({expression(), &at});
                if (peek().kind != Tok::Comma)
                    break;
                advance();
            }
        }
        if (peek().kind != Tok::RParen)
            fail(peek(), "函数 " + written + " 缺少右括号“)”，这里是 " + shown(peek()));
        advance();
        const FunctionInfo* f = findFunction(key);
        if (!f) {
            if (m_variables.count(key) || m_parameters.count(key) || findData(key))
                report(t, written + " 不是函数，后面不能跟括号");
            else
                report(t, "未知函数 " + written);
            return dummy();
        }
        if (int(args.size()) != f->arity) {
            report(t, "函数 " + std::string(f->name) + " 要 " + std::to_string(f->arity) + " 个参数，这里有 "
                          + std::to_string(args.size()) + " 个");
            return dummy();
        }
        bool usable = true;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if ((f->constantArgs >> i & 1u) && !m_builder.isConstant(args[i].node)) {
                report(*args[i].at, "函数 " + std::string(f->name) + " 的第 " + std::to_string(i + 1)
                                        + " 个参数要写数字或参数名，不能随K线变化");
                usable = false;
            }
        }
        if (!usable)
            return dummy();
        std::uint32_t a[3] = {0, 0, 0};
        for (std::size_t i = 0; i < args.size(); ++i)
            a[i] = args[i].node;
        return m_builder.node(f->op, a[0], a[1], a[2]);
    }

    std::vector<Token> m_tokens;
    std::size_t m_at = 0;
    std::vector<Diagnostic>& m_errors;
    Builder m_builder;
    std::unordered_map<std::string, double> m_parameters;
    std::unordered_map<std::string, std::uint32_t> m_variables;
    std::vector<OutputSpec> m_outputs;
    int m_depth = 0;
    int m_statements = 0;
};

// Enough for any formula a trader writes wrong; a text of nothing but mistakes stops here.
constexpr std::size_t kMaxDiagnostics = 100;

// The line and column of byte `at` of `text`, counted as the lexer counts them.
Diagnostic placeOf(std::string_view text, std::size_t at, std::string message)
{
    Diagnostic d{1, 1, std::move(message)};
    for (std::size_t i = 0; i < at && i < text.size();) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            i += c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
            ++d.line;
            d.column = 1;
            continue;
        }
        i += std::size_t(lexer::decode(text, i).length);
        ++d.column;
    }
    return d;
}

} // namespace

std::string diagnosticText(const Diagnostic& d)
{
    if (d.line <= 0)
        return d.message;
    return "第" + std::to_string(d.line) + "行第" + std::to_string(d.column) + "列：" + d.message;
}

std::string nameKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return key;
}

std::string checkName(std::string_view name)
{
    if (name.empty())
        return "名称是空的";
    if (name.size() > kMaxNameBytes)
        return "名称太长（最多 " + std::to_string(kMaxNameBytes) + " 个字节）";
    for (std::size_t i = 0; i < name.size();) {
        const lexer::Decoded d = lexer::decode(name, i);
        if (i == 0 ? !lexer::isNameStart(d.codePoint) : !lexer::isNamePart(d.codePoint))
            return "名称只能由字母、数字、下划线和汉字组成，且不以数字开头";
        i += std::size_t(d.length);
    }
    if (isReserved(nameKey(name)))
        return std::string(name) + " 是公式语言的保留字";
    return {};
}

Compiled compile(std::string_view text, std::span<const Parameter> parameters)
{
    Compiled result;
    if (text.size() > kMaxTextBytes) {
        result.errors.push_back(placeOf(text, kMaxTextBytes, "公式太长：最多 " + std::to_string(kMaxTextBytes) + " 个字节"));
        return result;
    }
    std::vector<Diagnostic> errors;
    std::vector<Token> tokens = lexer::tokenize(text, errors);
    Parser parser(std::move(tokens), parameters, errors);
    parser.run();
    if (!errors.empty()) {
        std::stable_sort(errors.begin(), errors.end(), [](const Diagnostic& a, const Diagnostic& b) {
            return std::tie(a.line, a.column) < std::tie(b.line, b.column);
        });
        errors.erase(std::unique(errors.begin(), errors.end()), errors.end());
        if (errors.size() > kMaxDiagnostics)
            errors.resize(kMaxDiagnostics);
        result.errors = std::move(errors);
        return result;
    }
    result.program = std::make_shared<const Program>(parser.program());
    return result;
}

const std::vector<OutputSpec>& outputsOf(const Program& program)
{
    return program.outputs;
}

int arityOf(Op op)
{
    switch (op) {
    case Op::Const:
    case Op::Open:
    case Op::High:
    case Op::Low:
    case Op::Close:
    case Op::Vol: return 0;
    case Op::Neg:
    case Op::Not:
    case Op::Abs:
    case Op::Sqrt:
    case Op::BarsLast:
    case Op::BarsCount: return 1;
    case Op::If:
    case Op::Sma: return 3;
    default: return 2;
    }
}

bool isElementwise(Op op)
{
    switch (op) {
    case Op::Neg:
    case Op::Not:
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge:
    case Op::Eq:
    case Op::Ne:
    case Op::And:
    case Op::Or:
    case Op::If:
    case Op::Abs:
    case Op::Sqrt:
    case Op::Max:
    case Op::Min: return true;
    default: return false;
    }
}

} // namespace chart::formula
