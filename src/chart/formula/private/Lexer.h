#pragma once

#include <string_view>
#include <vector>

#include "chart/formula/Language.h"

namespace chart::formula::lexer {

enum class Tok {
    End,
    Ident,
    Number,
    Plus,
    Minus,
    Star,
    Slash,
    LParen,
    RParen,
    Comma,
    Semicolon,
    Colon,
    Assign, // :=
    Lt,
    Gt,
    Le,
    Ge,
    Eq,
    Ne,
    AndAnd,
    OrOr,
};

struct Token
{
    Tok kind = Tok::End;
    std::string_view text; // as written
    double number = 0;
    int line = 1;
    int column = 1;
};

// The tokens of `text`, ending with one End; every character that is no part of the language
// is reported in `errors` and left out. Comments and blanks are dropped.
std::vector<Token> tokenize(std::string_view text, std::vector<Diagnostic>& errors);

// One UTF-8 character at `at`: its code point and length; -1 and 1 for a byte that starts
// no character.
struct Decoded
{
    int codePoint = -1;
    int length = 1;
};
Decoded decode(std::string_view text, std::size_t at);

bool isNameStart(int codePoint);
bool isNamePart(int codePoint);

} // namespace chart::formula::lexer
