#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "cli/parser.hpp"

namespace OruCli {
namespace {

// The column (1-based) and message of the syntax error a statement raises.
SyntaxError syntaxErrorOf(const std::string& statement) {
    try {
        parseStatement(statement);
    } catch (const SyntaxError& e) {
        return e;
    }
    ADD_FAILURE() << "no syntax error for: " << statement;
    return {};
}

TEST(Parser, NegativeLiteralsKeepAPositiveZeroPart) {
    const Node real = parseStatement("-2").expression;
    ASSERT_EQ(real.kind, Node::Kind::Number);
    EXPECT_EQ(real.re, -2.0);
    EXPECT_FALSE(std::signbit(real.im));

    const Node imaginary = parseStatement("-2i").expression;
    ASSERT_EQ(imaginary.kind, Node::Kind::Number);
    EXPECT_FALSE(std::signbit(imaginary.re));
    EXPECT_EQ(imaginary.im, -2.0);

    const Node zero = parseStatement("-0.0").expression;
    EXPECT_TRUE(std::signbit(zero.re));
    EXPECT_EQ(parseStatement("-inf").expression.re, -INFINITY);
    EXPECT_EQ(parseStatement("1e-300i").expression.im, 1e-300);

    // A minus before anything but a literal stays an operation.
    EXPECT_EQ(parseStatement("-(2)").expression.kind, Node::Kind::Negate);
}

TEST(Parser, OperatorsChainLeftToRightByPrecedence) {
    const Node sum = parseStatement("1 - 2 * 3 + 4").expression;
    ASSERT_EQ(sum.kind, Node::Kind::Chain);
    EXPECT_EQ(sum.ops, (std::vector<char>{'-', '+'}));
    ASSERT_EQ(sum.children.size(), 3u);
    EXPECT_EQ(sum.children[1].kind, Node::Kind::Chain);
    EXPECT_EQ(sum.children[1].ops, (std::vector<char>{'*'}));

    // A long sum is one flat node, so its depth does not grow with length.
    std::string longSum = "1";
    for (int k = 0; k < 5000; ++k) longSum += "+1";
    EXPECT_EQ(parseStatement(longSum).expression.children.size(), 5001u);
}

TEST(Parser, MatricesAssignmentsAndCalls) {
    const Node m = parseStatement("[1, 2; 3, 4; 5, 6]").expression;
    EXPECT_EQ(m.rows, 3);
    EXPECT_EQ(m.cols, 2);
    EXPECT_EQ(m.children.size(), 6u);
    EXPECT_EQ(parseStatement("[[1; 2]; 3]").expression.children[0].kind, Node::Kind::Matrix);

    const Statement s = parseStatement("x := Gamma(5)");
    ASSERT_TRUE(s.target.has_value());
    EXPECT_EQ(*s.target, "x");
    EXPECT_EQ(s.expression.kind, Node::Kind::Call);
    EXPECT_EQ(s.expression.children.size(), 1u);

    // Source ranges let errors point at an argument.
    const Node call = parseStatement("Tcheb(3, [0.5; 1])").expression;
    EXPECT_EQ(call.children[1].begin, 9u);
    EXPECT_EQ(call.children[1].end, 17u);
}

TEST(Parser, SyntaxErrorsNameTheColumn) {
    struct Case {
        const char* statement;
        std::size_t column;
        const char* messageStart;
    };
    const Case cases[] = {
        {"", 1, "empty statement"},
        {"1 +", 4, "expected an expression"},
        {"(1 + 2", 7, "missing ')'"},
        {"[1; 2", 6, "missing ']'"},
        {"1 + 2)", 6, "unbalanced ')'"},
        {"[]", 2, "empty matrix"},
        {"[1, 2; 3]", 8, "row 2 has 1 entry but row 1 has 2"},
        {"1e999", 1, "number too large"},
        {"2 * 1e-999", 5, "number too small"},
        {"1.2.3", 1, "malformed number"},
        {"2in", 1, "malformed number"},
        {"Tcheb(1)", 1, "Tcheb takes 2 arguments, not 1"},
        {"Gamma()", 1, "Gamma takes 1 or 2 arguments, not 0"},
        {"tcheb(1, 2)", 1, "unknown function 'tcheb' (did you mean Tcheb?)"},
        {"Leg + 1", 1, "'Leg' is a function"},
        {"null := 3", 1, "'null' is a reserved name"},
        {"x = 3", 3, "use ':='"},
        {"1 := 3", 3, "only a name can be defined"},
        {"\"abc", 1, "unterminated text"},
        {"\"a\\qb\"", 3, "unknown escape"},
        {"\"\xC3\x28\"", 2, "text is not valid UTF-8"},
        {"1 $ 2", 3, "unexpected character '$'"},
        {"1 \xFF", 3, "unexpected byte 0xFF"},
    };
    for (const Case& c : cases) {
        const SyntaxError e = syntaxErrorOf(c.statement);
        EXPECT_EQ(e.begin + 1, c.column) << c.statement;
        EXPECT_EQ(e.message.rfind(c.messageStart, 0), 0u) << c.statement << " -> " << e.message;
    }
    EXPECT_EQ(syntaxErrorOf(std::string("Tcheb(2,\0 3)", 12)).message, "NUL byte");
}

TEST(Parser, NestingIsCappedBeforeTheStackRunsOut) {
    for (const char* open : {"(", "[", "-", "Gamma("}) {
        std::string deep;
        for (int k = 0; k < 10000; ++k) deep += open;
        deep += "1";
        EXPECT_EQ(syntaxErrorOf(deep).message.rfind("expression nested too deeply", 0), 0u) << open;
    }
    std::string fine;
    for (std::size_t k = 0; k + 1 < kMaxNestingDepth; ++k) fine += "(";
    fine += "1" + std::string(kMaxNestingDepth - 1, ')');
    EXPECT_NO_THROW(parseStatement(fine));
}

}  // namespace
}  // namespace OruCli
