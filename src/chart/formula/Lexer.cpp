#include "chart/formula/private/Lexer.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace chart::formula::lexer {
namespace {

bool isAsciiLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

// Punctuation outside ASCII that is no part of a name: general punctuation (quotes,
// dashes), the CJK symbols (、。「」), the full-width and half-width forms, the byte-order
// mark, the C1 controls and the no-break space.
bool isForeignPunctuation(int c)
{
    return (c >= 0x80 && c <= 0xA0) || (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F)
           || (c >= 0xFF00 && c <= 0xFFEF) || c == 0xFEFF;
}

std::optional<Tok> signOf(int c)
{
    switch (c) {
    case '+': return Tok::Plus;
    case '-': return Tok::Minus;
    case '*': return Tok::Star;
    case '/': return Tok::Slash;
    case '(': return Tok::LParen;
    case ')': return Tok::RParen;
    case ',': return Tok::Comma;
    case ';': return Tok::Semicolon;
    case ':': return Tok::Colon;
    case '<': return Tok::Lt;
    case '>': return Tok::Gt;
    case '=': return Tok::Eq;
    default: return std::nullopt;
    }
}

std::string utf8(int c)
{
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 0x3F));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
    return s;
}

class Scanner
{
public:
    Scanner(std::string_view text, std::vector<Diagnostic>& errors)
        : m_text(text)
        , m_errors(errors)
    {
    }

    std::vector<Token> run()
    {
        // A byte-order mark at the start is the editor's, not the formula's.
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
            m_at = 3;
        while (m_at < m_text.size())
            next();
        Token end;
        end.kind = Tok::End;
        end.line = m_line;
        end.column = m_column;
        m_tokens.push_back(end);
        return std::move(m_tokens);
    }

private:
    int peekByte(std::size_t ahead = 0) const
    {
        return m_at + ahead < m_text.size() ? static_cast<unsigned char>(m_text[m_at + ahead]) : -1;
    }

    // Moves past one character, keeping the line and column.
    void advance()
    {
        const int c = peekByte();
        if (c == '\n' || c == '\r') {
            m_at += c == '\r' && peekByte(1) == '\n' ? 2 : 1;
            ++m_line;
            m_column = 1;
            return;
        }
        m_at += std::size_t(decode(m_text, m_at).length);
        ++m_column;
    }

    void error(int line, int column, std::string message)
    {
        m_errors.push_back({line, column, std::move(message)});
    }

    void push(Tok kind, std::size_t start, int line, int column, double number = 0)
    {
        Token t;
        t.kind = kind;
        t.text = m_text.substr(start, m_at - start);
        t.number = number;
        t.line = line;
        t.column = column;
        m_tokens.push_back(t);
    }

    void next()
    {
        const std::size_t start = m_at;
        const int line = m_line;
        const int column = m_column;
        const Decoded d = decode(m_text, m_at);
        const int c = d.codePoint;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == 0x3000) {
            advance();
            return;
        }
        if (c == '{') {
            while (m_at < m_text.size() && peekByte() != '}')
                advance();
            if (m_at >= m_text.size()) {
                error(line, column, "注释没有结束：缺少“}”");
                return;
            }
            advance();
            return;
        }
        if (c == '/' && peekByte(1) == '/') {
            while (m_at < m_text.size() && peekByte() != '\n' && peekByte() != '\r')
                advance();
            return;
        }
        if (isDigit(c) || (c == '.' && isDigit(peekByte(1)))) {
            number(start, line, column);
            return;
        }
        if (isNameStart(c)) {
            while (m_at < m_text.size() && isNamePart(decode(m_text, m_at).codePoint))
                advance();
            push(Tok::Ident, start, line, column);
            return;
        }
        advance();
        const int n = peekByte();
        auto two = [&](Tok kind) {
            advance();
            push(kind, start, line, column);
        };
        switch (c) {
        case '+': return push(Tok::Plus, start, line, column);
        case '-': return push(Tok::Minus, start, line, column);
        case '*': return push(Tok::Star, start, line, column);
        case '/': return push(Tok::Slash, start, line, column);
        case '(': return push(Tok::LParen, start, line, column);
        case ')': return push(Tok::RParen, start, line, column);
        case ',': return push(Tok::Comma, start, line, column);
        case ';': return push(Tok::Semicolon, start, line, column);
        case ':': return n == '=' ? two(Tok::Assign) : push(Tok::Colon, start, line, column);
        case '<':
            if (n == '=')
                return two(Tok::Le);
            if (n == '>')
                return two(Tok::Ne);
            return push(Tok::Lt, start, line, column);
        case '>': return n == '=' ? two(Tok::Ge) : push(Tok::Gt, start, line, column);
        case '=': return n == '=' ? two(Tok::Eq) : push(Tok::Eq, start, line, column);
        case '!':
            if (n == '=')
                return two(Tok::Ne);
            break;
        case '&':
            if (n == '&')
                return two(Tok::AndAnd);
            break;
        case '|':
            if (n == '|')
                return two(Tok::OrOr);
            break;
        case '}': return error(line, column, "多余的“}”：注释要以“{”开始");
        default: break;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) {
            // A full-width sign typed with the Chinese input method on: reported, and read as
            // the sign meant, so that it is the one error the statement shows.
            const int half = c - 0xFEE0;
            error(line, column, "全角符号“" + utf8(c) + "”，请改用半角“" + std::string(1, char(half)) + "”");
            if (const std::optional<Tok> meant = signOf(half))
                push(*meant, start, line, column);
            return;
        }
        if (c < 0)
            error(line, column, "无法识别的字节（文字不是 UTF-8 编码）");
        else if (c < 0x20 || c == 0x7F)
            error(line, column, "无法识别的控制字符");
        else
            error(line, column, "无法识别的字符“" + utf8(c) + "”");
    }

    void number(std::size_t start, int line, int column)
    {
        while (isDigit(peekByte()))
            advance();
        if (peekByte() == '.') {
            advance();
            while (isDigit(peekByte()))
                advance();
        }
        const std::string_view digits = m_text.substr(start, m_at - start);
        double value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) {
            error(line, column, "数字 " + std::string(digits.substr(0, 24)) + " 太大");
            value = 0;
        }
        if (peekByte() == '.') {
            error(m_line, m_column, "数字里多了一个小数点");
            while (peekByte() == '.' || isDigit(peekByte()))
                advance();
        }
        push(Tok::Number, start, line, column, value);
    }

    std::string_view m_text;
    std::vector<Diagnostic>& m_errors;
    std::vector<Token> m_tokens;
    std::size_t m_at = 0;
    int m_line = 1;
    int m_column = 1;
};

} // namespace

Decoded decode(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return {-1, 1};
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b0 = byte(at);
    if (b0 < 0x80)
        return {b0, 1};
    int length = 0;
    int cp = 0;
    int least = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
        least = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
        least = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
        least = 0x10000;
    } else {
        return {-1, 1};
    }
    if (at + std::size_t(length) > text.size())
        return {-1, 1};
    for (int i = 1; i < length; ++i) {
        const unsigned char b = byte(at + std::size_t(i));
        if ((b & 0xC0) != 0x80)
            return {-1, 1};
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {-1, 1};
    return {cp, length};
}

bool isNameStart(int c)
{
    return isAsciiLetter(c) || c == '_' || (c >= 0x80 && !isForeignPunctuation(c));
}

bool isNamePart(int c)
{
    return isNameStart(c) || isDigit(c);
}

std::vector<Token> tokenize(std::string_view text, std::vector<Diagnostic>& errors)
{
    return Scanner(text, errors).run();
}

} // namespace chart::formula::lexer
