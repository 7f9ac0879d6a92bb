#include "cli/lexer.hpp"

#include <array>
#include <charconv>
#include <cstdio>

#include "cli/text.hpp"

namespace OruCli {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isNameChar(char c) {
    return isNameStart(c) || isDigit(c);
}
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

[[noreturn]] void fail(std::string message, std::size_t begin, std::size_t end) {
    throw SyntaxError{std::move(message), begin, end};
}

std::string describeByte(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u == 0) return "NUL byte";
    if (u >= 0x21 && u < 0x7F) return std::string("unexpected character '") + c + "'";
    std::array<char, 8> hex{};
    std::snprintf(hex.data(), hex.size(), "0x%02X", static_cast<unsigned>(u));
    return std::string("unexpected byte ") + hex.data();
}

class Lexer {
public:
    explicit Lexer(std::string_view s) : s_(s) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        for (;;) {
            while (pos_ < s_.size() && isSpace(s_[pos_])) ++pos_;
            if (pos_ == s_.size() || s_[pos_] == '#') {
                tokens.push_back(Token{TokenKind::End, pos_, pos_, 0.0, {}});
                return tokens;
            }
            tokens.push_back(next());
        }
    }

private:
    Token next() {
        const std::size_t begin = pos_;
        const char c = s_[pos_];
        if (isDigit(c) || (c == '.' && pos_ + 1 < s_.size() && isDigit(s_[pos_ + 1]))) return number();
        if (isNameStart(c)) return name();
        if (c == '"') return text();
        if (c == ':') {
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '=') return symbol(TokenKind::Define, 2);
            fail("expected ':=' to define a variable", begin, begin + 1);
        }
        if (c == '=') fail("use ':=' to define a variable", begin, begin + 1);
        switch (c) {
            case '(':
                return symbol(TokenKind::LeftParen, 1);
            case ')':
                return symbol(TokenKind::RightParen, 1);
            case '[':
                return symbol(TokenKind::LeftBracket, 1);
            case ']':
                return symbol(TokenKind::RightBracket, 1);
            case ',':
                return symbol(TokenKind::Comma, 1);
            case ';':
                return symbol(TokenKind::Semicolon, 1);
            case '+':
                return symbol(TokenKind::Plus, 1);
            case '-':
                return symbol(TokenKind::Minus, 1);
            case '*':
                return symbol(TokenKind::Star, 1);
            case '/':
                return symbol(TokenKind::Slash, 1);
            default:
                break;
        }
        const std::size_t length = utf8SequenceLength(s_, pos_);
        if (length > 1)
            fail("unexpected character '" + std::string(s_.substr(pos_, length)) + "'", begin,
                 begin + length);
        fail(describeByte(c), begin, begin + 1);
    }

    Token symbol(TokenKind kind, std::size_t length) {
        Token t{kind, pos_, pos_ + length, 0.0, {}};
        pos_ += length;
        return t;
    }

    void skipDigits() {
        while (pos_ < s_.size() && isDigit(s_[pos_])) ++pos_;
    }

    // digits [. digits] [e [+-] digits] [i]; the mantissa has at least one
    // digit (".5" and "5." are both accepted).
    Token number() {
        const std::size_t begin = pos_;
        skipDigits();
        if (pos_ < s_.size() && s_[pos_] == '.') {
            ++pos_;
            skipDigits();
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
            if (pos_ == s_.size() || !isDigit(s_[pos_])) {
                while (pos_ < s_.size() && isNameChar(s_[pos_])) ++pos_;
                fail("malformed number: the exponent has no digits", begin, pos_);
            }
            skipDigits();
        }
        const std::size_t literalEnd = pos_;
        TokenKind kind = TokenKind::Number;
        if (pos_ < s_.size() && s_[pos_] == 'i' && (pos_ + 1 == s_.size() || !isNameChar(s_[pos_ + 1]))) {
            kind = TokenKind::Imaginary;
            ++pos_;
        }
        if (pos_ < s_.size() && (isNameChar(s_[pos_]) || s_[pos_] == '.')) {
            while (pos_ < s_.size() && (isNameChar(s_[pos_]) || s_[pos_] == '.')) ++pos_;
            fail("malformed number", begin, pos_);
        }
        return Token{kind, begin, pos_, convert(begin, literalEnd), {}};
    }

    double convert(std::size_t begin, std::size_t end) const {
        const char* first = s_.data() + begin;
        const char* last = s_.data() + end;
        double value = 0.0;
        const auto result = std::from_chars(first, last, value, std::chars_format::general);
        if (result.ec == std::errc::result_out_of_range) {
            // from_chars reports both overflow and a nonzero literal that
            // would round to zero; neither is the number that was written.
            const bool tiny = literalIsTiny(begin, end);
            fail(tiny ? "number too small: it would round to zero"
                      : "number too large: it exceeds the double range (about 1.8e308)",
                 begin, end);
        }
        if (result.ec != std::errc() || result.ptr != last) fail("malformed number", begin, end);
        return value;
    }

    // Whether an out-of-range literal has a negative exponent, i.e. is too
    // small rather than too large.
    bool literalIsTiny(std::size_t begin, std::size_t end) const {
        const std::string_view literal = s_.substr(begin, end - begin);
        const std::size_t e = literal.find_first_of("eE");
        return e != std::string_view::npos && e + 1 < literal.size() && literal[e + 1] == '-';
    }

    Token name() {
        const std::size_t begin = pos_;
        while (pos_ < s_.size() && isNameChar(s_[pos_])) ++pos_;
        return Token{TokenKind::Name, begin, pos_, 0.0, std::string(s_.substr(begin, pos_ - begin))};
    }

    // "..." with the escapes \" \\ \t \n; any other byte stands for itself,
    // but the contents must be well-formed UTF-8 and free of NUL bytes.
    Token text() {
        const std::size_t begin = pos_;
        ++pos_;
        std::string contents;
        while (pos_ < s_.size() && s_[pos_] != '"') {
            const char c = s_[pos_];
            if (c == '\\') {
                if (pos_ + 1 == s_.size()) break;
                const char e = s_[pos_ + 1];
                if (e == '"' || e == '\\')
                    contents += e;
                else if (e == 't')
                    contents += '\t';
                else if (e == 'n')
                    contents += '\n';
                else
                    fail("unknown escape in text (use \\\" \\\\ \\t or \\n)", pos_, pos_ + 2);
                pos_ += 2;
                continue;
            }
            if (c == '\0') fail("NUL byte", pos_, pos_ + 1);
            const std::size_t length = utf8SequenceLength(s_, pos_);
            if (length == 0) fail("text is not valid UTF-8", pos_, pos_ + 1);
            contents.append(s_.substr(pos_, length));
            pos_ += length;
        }
        if (pos_ == s_.size()) fail("unterminated text: missing closing '\"'", begin, pos_);
        ++pos_;
        return Token{TokenKind::Text, begin, pos_, 0.0, std::move(contents)};
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<Token> tokenize(std::string_view statement) {
    return Lexer(statement).run();
}

}  // namespace OruCli
