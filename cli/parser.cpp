#include "cli/parser.hpp"

#include <limits>
#include <string>
#include <vector>

#include "cli/lexer.hpp"

namespace OruCli {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kQuietNan = std::numeric_limits<double>::quiet_NaN();

std::string countOf(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    Statement statement() {
        Statement result;
        if (peek().kind == TokenKind::End) fail("empty statement", peek());
        if (peek().kind == TokenKind::Name && peek(1).kind == TokenKind::Define) {
            const Token& target = advance();
            if (!isDefinableName(target.text))
                fail("'" + target.text + "' is a reserved name and cannot be defined", target);
            result.target = target.text;
            advance();
            if (peek().kind == TokenKind::End) fail("expected an expression after ':='", peek());
        }
        result.expression = expression();
        if (peek().kind != TokenKind::End) {
            const Token& t = peek();
            if (t.kind == TokenKind::Define) fail("only a name can be defined with ':='", t);
            if (t.kind == TokenKind::RightParen) fail("unbalanced ')'", t);
            if (t.kind == TokenKind::RightBracket) fail("unbalanced ']'", t);
            fail("expected an operator or the end of the statement", t);
        }
        return result;
    }

private:
    // Counts one level of nesting for as long as it lives.
    class Level {
    public:
        Level(Parser& p, const Token& at) : p_(p) {
            if (++p_.depth_ > kMaxNestingDepth)
                p_.fail("expression nested too deeply (more than " + std::to_string(kMaxNestingDepth) +
                            " levels)",
                        at);
        }
        ~Level() { --p_.depth_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;

    private:
        Parser& p_;
    };

    const Token& peek(std::size_t ahead = 0) const {
        const std::size_t k = pos_ + ahead;
        return k < tokens_.size() ? tokens_[k] : tokens_.back();
    }

    const Token& advance() {
        const Token& t = tokens_[pos_];
        if (pos_ + 1 < tokens_.size()) ++pos_;
        return t;
    }

    [[noreturn]] void fail(std::string message, const Token& at) const {
        throw SyntaxError{std::move(message), at.begin, at.end};
    }

    void expect(TokenKind kind, const char* what, const Token& opener) {
        if (peek().kind == kind) {
            advance();
            return;
        }
        if (peek().kind == TokenKind::End)
            throw SyntaxError{std::string("missing ") + what + " to close the one at column " +
                                  std::to_string(opener.begin + 1),
                              peek().begin, peek().end};
        fail(std::string("expected ") + what, peek());
    }

    // Binary operators of one precedence, kept as a flat left-to-right
    // chain: long sums never make the tree deep.
    template <typename Operand>
    Node chain(TokenKind first, char firstOp, TokenKind second, char secondOp, Operand operand) {
        Node head = (this->*operand)();
        if (peek().kind != first && peek().kind != second) return head;
        Node node;
        node.kind = Node::Kind::Chain;
        node.begin = head.begin;
        node.children.push_back(std::move(head));
        while (peek().kind == first || peek().kind == second) {
            const Token& op = advance();
            node.ops.push_back(op.kind == first ? firstOp : secondOp);
            if (peek().kind == TokenKind::End) fail("expected an expression after the operator", peek());
            node.children.push_back((this->*operand)());
        }
        node.end = node.children.back().end;
        return node;
    }

    Node expression() { return chain(TokenKind::Plus, '+', TokenKind::Minus, '-', &Parser::term); }

    Node term() { return chain(TokenKind::Star, '*', TokenKind::Slash, '/', &Parser::unary); }

    Node unary() {
        const Token& t = peek();
        if (t.kind != TokenKind::Minus && t.kind != TokenKind::Plus) return primary();
        Level level(*this, t);
        advance();
        const bool minus = t.kind == TokenKind::Minus;
        const std::size_t begin = t.begin;
        const TokenKind next = peek().kind;
        if (minus && (next == TokenKind::Number || next == TokenKind::Imaginary || isNonFiniteWord())) {
            Node literal = primary();
            if (next == TokenKind::Imaginary)
                literal.im = -literal.im;
            else
                literal.re = -literal.re;
            literal.begin = begin;
            return literal;
        }
        Node operand = unary();
        if (!minus) {
            operand.begin = begin;
            return operand;
        }
        Node node;
        node.kind = Node::Kind::Negate;
        node.begin = begin;
        node.end = operand.end;
        node.children.push_back(std::move(operand));
        return node;
    }

    bool isNonFiniteWord() const {
        return peek().kind == TokenKind::Name && (peek().text == "inf" || peek().text == "nan") &&
               peek(1).kind != TokenKind::LeftParen;
    }

    // A node of one token: its kind, its range and the token's text.
    static Node leaf(Node::Kind kind, const Token& t) {
        Node n;
        n.kind = kind;
        n.begin = t.begin;
        n.end = t.end;
        n.text = t.text;
        return n;
    }

    static Node literal(const Token& t, double re, double im) {
        Node n = leaf(Node::Kind::Number, t);
        n.re = re;
        n.im = im;
        return n;
    }

    Node primary() {
        const Token& t = peek();
        switch (t.kind) {
            case TokenKind::Number:
                advance();
                return literal(t, t.value, 0.0);
            case TokenKind::Imaginary:
                advance();
                return literal(t, 0.0, t.value);
            case TokenKind::Text:
                advance();
                return leaf(Node::Kind::Text, t);
            case TokenKind::Name:
                return named();
            case TokenKind::LeftParen: {
                Level level(*this, t);
                advance();
                Node inner = expression();
                expect(TokenKind::RightParen, "')'", t);
                return inner;
            }
            case TokenKind::LeftBracket:
                return matrix();
            case TokenKind::End:
                fail("expected an expression", t);
            case TokenKind::RightParen:
                fail("unbalanced ')'", t);
            case TokenKind::RightBracket:
                fail("unbalanced ']'", t);
            default:
                fail("expected an expression", t);
        }
    }

    Node named() {
        const Token& t = advance();
        const bool isCall = peek().kind == TokenKind::LeftParen;
        if (!isCall) {
            if (t.text == "inf") return literal(t, kInfinity, 0.0);
            if (t.text == "nan") return literal(t, kQuietNan, 0.0);
            if (t.text == "null") return leaf(Node::Kind::Null, t);
            if (const FunctionInfo* f = findFunction(t.text))
                fail("'" + t.text + "' is a function: call it as " + std::string(f->usage), t);
            return leaf(Node::Kind::Variable, t);
        }
        const FunctionInfo* f = findFunction(t.text);
        if (f == nullptr) {
            std::string message = "unknown function '" + t.text + "'";
            if (const FunctionInfo* near = findFunctionIgnoringCase(t.text))
                message += " (did you mean " + std::string(near->name) + "?)";
            fail(message, t);
        }
        Level level(*this, t);
        const Token& open = advance();
        Node call;
        call.kind = Node::Kind::Call;
        call.function = f;
        call.text = t.text;
        call.begin = t.begin;
        if (peek().kind != TokenKind::RightParen) {
            call.children.push_back(expression());
            while (peek().kind == TokenKind::Comma) {
                advance();
                call.children.push_back(expression());
            }
        }
        call.end = peek().end;
        expect(TokenKind::RightParen, "')'", open);
        const std::size_t n = call.children.size();
        if (n < f->minArgs || n > f->maxArgs) {
            const std::string wanted =
                f->minArgs == f->maxArgs
                    ? countOf(f->minArgs, "argument", "arguments")
                    : std::to_string(f->minArgs) + " or " + countOf(f->maxArgs, "argument", "arguments");
            throw SyntaxError{std::string(f->name) + " takes " + wanted + ", not " + std::to_string(n) +
                                  ": " + std::string(f->usage),
                              t.begin, call.end};
        }
        return call;
    }

    Node matrix() {
        const Token& open = peek();
        Level level(*this, open);
        advance();
        if (peek().kind == TokenKind::RightBracket) fail("empty matrix", peek());
        Node m;
        m.kind = Node::Kind::Matrix;
        m.begin = open.begin;
        std::size_t cols = 0;
        std::size_t rows = 0;
        for (;;) {
            const Token& rowStart = peek();
            std::size_t count = 1;
            m.children.push_back(expression());
            while (peek().kind == TokenKind::Comma) {
                advance();
                m.children.push_back(expression());
                ++count;
            }
            if (rows == 0)
                cols = count;
            else if (count != cols)
                throw SyntaxError{"row " + std::to_string(rows + 1) + " has " +
                                      countOf(count, "entry", "entries") + " but row 1 has " +
                                      std::to_string(cols) +
                                      ": all rows of a matrix must have the same length",
                                  rowStart.begin, m.children.back().end};
            ++rows;
            if (peek().kind != TokenKind::Semicolon) break;
            advance();
        }
        m.end = peek().end;
        expect(TokenKind::RightBracket, "']'", open);
        // The lexer bounds the entry count by the statement length, far
        // below the int range.
        m.rows = static_cast<int>(rows);
        m.cols = static_cast<int>(cols);
        return m;
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    std::size_t depth_ = 0;
};

}  // namespace

Statement parseStatement(std::string_view statement) {
    return Parser(tokenize(statement)).statement();
}

bool isDefinableName(std::string_view name) {
    return findFunction(name) == nullptr && name != "inf" && name != "nan" && name != "null";
}

}  // namespace OruCli
