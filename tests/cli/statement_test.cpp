#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/statement.hpp"

namespace OruCli {
namespace {

// Runs statements in one session and collects the output and the worst
// status, as the program does.
class Statements : public ::testing::Test {
protected:
    std::string run(const std::string& line, bool json = true) {
        std::ostringstream out;
        status = std::max(status, runStatement(session, line, out, json));
        return out.str();
    }

    Session session;
    int status = StatementOk;
};

TEST_F(Statements, ScalarsAndArithmetic) {
    EXPECT_EQ(run("complex(2, -0.0)"), "{\"kind\":\"scalar\",\"re\":2.0,\"im\":-0.0}\n");
    EXPECT_EQ(run("1 + 2i"), "{\"kind\":\"scalar\",\"re\":1.0,\"im\":2.0}\n");
    EXPECT_EQ(run("(1 + 2i) * (3 - 1i)"), "{\"kind\":\"scalar\",\"re\":5.0,\"im\":5.0}\n");
    EXPECT_EQ(run("(4 + 2i) / (1 + 1i)"), "{\"kind\":\"scalar\",\"re\":3.0,\"im\":-1.0}\n");
    // A real operand never multiplies an infinity by zero.
    EXPECT_EQ(run("inf * 2"), "{\"kind\":\"scalar\",\"re\":\"inf\",\"im\":0.0}\n");
    EXPECT_EQ(run("1 / 0"), "{\"kind\":\"scalar\",\"re\":\"inf\",\"im\":0.0}\n");
    EXPECT_EQ(run("0 / 0"), "{\"kind\":\"scalar\",\"re\":\"nan\",\"im\":0.0}\n");
    // Smith's division does not overflow where the quotient does not.
    EXPECT_EQ(run("(1e300 + 1e300i) / (1e300 + 1e300i)"), "{\"kind\":\"scalar\",\"re\":1.0,\"im\":0.0}\n");
    EXPECT_EQ(status, StatementOk);
}

TEST_F(Statements, MatricesCarryAnImaginaryArrayOnlyWhenNeeded) {
    EXPECT_EQ(run("[1, 2; 3, 4]"),
              "{\"kind\":\"matrix\",\"rows\":2,\"cols\":2,\"re\":[1.0,3.0,2.0,4.0],\"im\":null}\n");
    EXPECT_EQ(run("[1; -0.0 * 1i]"),
              "{\"kind\":\"matrix\",\"rows\":2,\"cols\":1,\"re\":[1.0,-0.0],\"im\":null}\n");
    EXPECT_EQ(run("[1; complex(0, nan)]"),
              "{\"kind\":\"matrix\",\"rows\":2,\"cols\":1,\"re\":[1.0,0.0],\"im\":[0.0,\"nan\"]}\n");
    EXPECT_EQ(run("complex([1; 2], [0; 0])"),
              "{\"kind\":\"matrix\",\"rows\":2,\"cols\":1,\"re\":[1.0,2.0],\"im\":[0.0,0.0]}\n");
    EXPECT_EQ(run("[[1; 2]; \"t\"]"),
              "{\"kind\":\"nested\",\"rows\":2,\"cols\":1,\"elements\":["
              "{\"kind\":\"matrix\",\"rows\":2,\"cols\":1,\"re\":[1.0,2.0],\"im\":null},"
              "{\"kind\":\"text\",\"text\":\"t\"}]}\n");
    EXPECT_EQ(run("linspace(-1, 1, 5)"),
              "{\"kind\":\"matrix\",\"rows\":5,\"cols\":1,\"re\":[-1.0,-0.5,0.0,0.5,1.0],\"im\":null}\n");
    EXPECT_EQ(run("linspace(0, 1, 0)"),
              "{\"kind\":\"matrix\",\"rows\":0,\"cols\":1,\"re\":[],\"im\":null}\n");
    EXPECT_EQ(status, StatementOk);
}

TEST_F(Statements, VariablesAndLibraryCalls) {
    EXPECT_EQ(run("v := [0.5; 1; 2]"), "");
    EXPECT_EQ(run("Tcheb(3, v)"),
              "{\"kind\":\"matrix\",\"rows\":3,\"cols\":1,\"re\":[-1.0,1.0,26.0],\"im\":null}\n");
    EXPECT_EQ(run("n := 2"), "");
    EXPECT_EQ(run("n := n + 1"), "");
    EXPECT_EQ(run("Ucheb(n, 0.5)"), "{\"kind\":\"scalar\",\"re\":-1.0,\"im\":0.0}\n");
    EXPECT_EQ(run("t := \"text\""), "");
    EXPECT_EQ(run("t"), "{\"kind\":\"text\",\"text\":\"text\"}\n");
    EXPECT_EQ(run("null"), "{\"kind\":\"null\"}\n");
    EXPECT_EQ(status, StatementOk);
}

TEST_F(Statements, LibraryErrorsKeepTheirArgumentPosition) {
    EXPECT_EQ(run("Tcheb(3, [0.5; 2i])"),
              "{\"kind\":\"error\",\"message\":\"must be real\",\"argument\":2}\n");
    EXPECT_EQ(run("Tcheb(\"a\", 1)"),
              "{\"kind\":\"error\",\"message\":\"must be a scalar or a matrix\",\"argument\":1}\n");
    EXPECT_EQ(status, StatementFailed);
    // A failed definition leaves the variable undefined.
    EXPECT_EQ(run("w := Tcheb(-1, 1)").find("{\"kind\":\"error\""), 0u);
    EXPECT_EQ(run("w").find("{\"kind\":\"syntax\",\"message\":\"unknown name 'w'\""), 0u);
    EXPECT_EQ(status, StatementMalformed);
}

TEST_F(Statements, CommandLineErrorsAreEvaluationErrors) {
    const auto message = [&](const std::string& line) {
        const std::string out = run(line);
        EXPECT_EQ(out.find("{\"kind\":\"error\""), 0u) << line << " -> " << out;
        return out;
    };
    EXPECT_NE(message("[1; 2] + 1").find("'+' works on scalars only, but the left operand is a 2 x 1 matrix"),
              std::string::npos);
    EXPECT_NE(message("-\"a\"").find("the operand is a text"), std::string::npos);
    EXPECT_NE(message("linspace(0, 1, -1)").find("\"argument\":3"), std::string::npos);
    EXPECT_NE(message("linspace(0, 1, 1e9)").find("must be between 0 and 10000000"), std::string::npos);
    EXPECT_NE(message("linspace(0, 1, 2.5)").find("must be an integer"), std::string::npos);
    EXPECT_NE(message("linspace(0, inf, 3)").find("must be finite\",\"argument\":2"), std::string::npos);
    EXPECT_NE(message("complex(1i, 1)").find("must be real\",\"argument\":1"), std::string::npos);
    EXPECT_NE(message("complex([1; 2], [0; 1i])").find("must be real\",\"argument\":2"), std::string::npos);
    EXPECT_NE(message("complex([1; 2], [1; 2; 3])").find("array size mismatch"), std::string::npos);
    EXPECT_NE(message("complex(1, [1; 2])").find("\"argument\":-1"), std::string::npos);
    EXPECT_NE(message("[1; null]").find("null cannot be a matrix entry"), std::string::npos);
    EXPECT_EQ(status, StatementFailed);
}

TEST_F(Statements, NestedValuesStayBounded) {
    run("a := [1; 2]");
    for (int k = 0; k < 40; ++k) run("a := [a; a]");
    EXPECT_EQ(status, StatementFailed);  // the doubling stops at the element limit
    const Held* a = session.lookup("a");
    ASSERT_NE(a, nullptr);
    EXPECT_LE(a->leaves, kMaxElements);

    run("b := 1");
    for (int k = 0; k < 40; ++k) run("b := [b]");
    EXPECT_EQ(session.lookup("b")->depth, kMaxValueDepth);
}

TEST_F(Statements, ReadableErrorsMarkTheArgument) {
    EXPECT_EQ(run("Tcheb(3, [0.5; 2i])", false),
              "error in Tcheb, argument 2: must be real\n"
              "  Tcheb(3, [0.5; 2i])\n"
              "           ^^^^^^^^^\n");
    EXPECT_EQ(run("Ibeta(2, 1, 1)", false),
              "error in Ibeta, argument 1: must be between 0 1\n"
              "  Ibeta(2, 1, 1)\n"
              "        ^\n");
    session.location = "line 7: ";
    EXPECT_EQ(run("1 + foo", false),
              "line 7: syntax error at column 5: unknown name 'foo'\n"
              "  1 + foo\n"
              "      ^^^\n");
}

TEST_F(Statements, BlankCommentAndOverlongLines) {
    EXPECT_EQ(run("   "), "");
    EXPECT_EQ(run("  # a comment"), "");
    EXPECT_EQ(run("1 # trailing"), "{\"kind\":\"scalar\",\"re\":1.0,\"im\":0.0}\n");
    EXPECT_EQ(status, StatementOk);
    EXPECT_NE(run(std::string(kMaxStatementBytes + 1, '1')).find("statement longer than"), std::string::npos);
    EXPECT_EQ(status, StatementMalformed);
}

}  // namespace
}  // namespace OruCli
