#pragma once

// Splits one statement into tokens, each with the byte range it came from.
// Numbers are converted here, so a literal outside the double range is
// refused before anything is evaluated.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/syntax_error.hpp"

namespace OruCli {

enum class TokenKind {
    Number,     // a real literal: value
    Imaginary,  // a literal with the suffix i: value is its imaginary part
    Text,       // a quoted text: text holds its contents, escapes resolved
    Name,       // an identifier: text
    LeftParen,
    RightParen,
    LeftBracket,
    RightBracket,
    Comma,
    Semicolon,
    Plus,
    Minus,
    Star,
    Slash,
    Define,  // :=
    End,     // end of the statement (or the start of a '#' comment)
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::size_t begin = 0;
    std::size_t end = 0;
    double value = 0.0;
    std::string text;
};

// The tokens of the statement, ending with one End token. Throws
// SyntaxError for a byte that starts no token, a malformed or out-of-range
// number, or a bad text literal.
std::vector<Token> tokenize(std::string_view statement);

}  // namespace OruCli
