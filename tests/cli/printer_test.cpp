#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "cli/printer.hpp"
#include "cli/text.hpp"

namespace OruCli {
namespace {

TEST(Printer, JsonNumbersAreShortestAndStayFloatingPoint) {
    EXPECT_EQ(jsonNumber(26.0), "26.0");
    EXPECT_EQ(jsonNumber(-1.0), "-1.0");
    EXPECT_EQ(jsonNumber(-0.0), "-0.0");
    EXPECT_EQ(jsonNumber(0.0), "0.0");
    EXPECT_EQ(jsonNumber(0.1), "0.1");
    EXPECT_EQ(jsonNumber(1e300), "1e+300");
    EXPECT_EQ(jsonNumber(5e-324), "5e-324");
    EXPECT_EQ(jsonNumber(0.30000000000000004), "0.30000000000000004");
    EXPECT_EQ(jsonNumber(123456789012.0), "123456789012.0");
    EXPECT_EQ(jsonNumber(INFINITY), "\"inf\"");
    EXPECT_EQ(jsonNumber(-INFINITY), "\"-inf\"");
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::quiet_NaN()), "\"nan\"");
    // Every shortest form reads back to the same double.
    for (double x : {0.1, 2.0 / 3.0, 1e-310, 1.7976931348623157e308, -123.456e-78})
        EXPECT_EQ(std::strtod(jsonNumber(x).c_str(), nullptr), x);
}

TEST(Printer, JsonEscapingKeepsRecordsValid) {
    EXPECT_EQ(jsonEscape("must be between\t0\t1"), "must be between\\t0\\t1");
    EXPECT_EQ(jsonEscape("a\"b\\c\n"), "a\\\"b\\\\c\\n");
    EXPECT_EQ(jsonEscape(std::string("\x01\x1f\x7f", 3)), "\\u0001\\u001f\\u007f");
    EXPECT_EQ(jsonEscape("\xC3\xA9"), "\xC3\xA9");  // well-formed UTF-8 passes
    EXPECT_EQ(jsonEscape("a\xFF"
                         "b"),
              "a\\ufffdb");                                          // a stray byte does not
    EXPECT_EQ(jsonEscape("\xED\xA0\x80"), "\\ufffd\\ufffd\\ufffd");  // nor a surrogate
}

TEST(Printer, RecordsOfEveryKind) {
    const auto json = [](const Tabul::Value* v) {
        std::ostringstream out;
        writeJson(out, v);
        return out.str();
    };
    const Tabul::NumVal z(2.0, -0.0);
    EXPECT_EQ(json(&z), R"({"kind":"scalar","re":2.0,"im":-0.0})");
    const Tabul::MatVal real({1.0, 2.0, 3.0, 4.0}, std::nullopt, 2, 2);
    EXPECT_EQ(json(&real), R"({"kind":"matrix","rows":2,"cols":2,"re":[1.0,2.0,3.0,4.0],"im":null})");
    // A view with an offset and a column stride is read through its shape.
    const auto view = Tabul::MatVal::View({9.0, 1.0, 2.0, 9.0, 3.0, 4.0}, std::vector<double>(6, 0.5),
                                          Tabul::mat_val{2, 2, 3}, 1);
    EXPECT_EQ(json(view.get()),
              R"({"kind":"matrix","rows":2,"cols":2,"re":[1.0,2.0,3.0,4.0],"im":[0.5,0.5,0.5,0.5]})");
    const Tabul::TextVal text("a\tb");
    EXPECT_EQ(json(&text), R"({"kind":"text","text":"a\tb"})");
    EXPECT_EQ(json(nullptr), R"({"kind":"null"})");
    const auto nested = Tabul::MatVal::Nested(
        {std::make_shared<Tabul::NumVal>(1.0, 0.0), std::make_shared<Tabul::TextVal>("x")}, 2, 1);
    EXPECT_EQ(json(nested.get()), R"({"kind":"nested","rows":2,"cols":1,"elements":[)"
                                  R"({"kind":"scalar","re":1.0,"im":0.0},{"kind":"text","text":"x"}]})");

    std::ostringstream out;
    writeJsonError(out, EvalError{"must be >\t-1", 3, "Jac", 0, 0});
    writeJsonSyntax(out, SyntaxError{"x", 4, 5});
    EXPECT_EQ(out.str(), R"({"kind":"error","message":"must be >\t-1","argument":3})"
                         R"({"kind":"syntax","message":"x","column":5})");
}

TEST(Printer, ReadableOutput) {
    EXPECT_EQ(humanScalar(1.5, 0.0, false), "1.5");
    EXPECT_EQ(humanScalar(1.5, -0.0, false), "1.5");
    EXPECT_EQ(humanScalar(1.0, -2.0, false), "1 - 2i");
    EXPECT_EQ(humanScalar(1.0, 0.0, true), "1 + 0i");
    EXPECT_EQ(humanScalar(1.0, NAN, false), "complex(1, nan)");

    std::ostringstream out;
    const Tabul::MatVal m({-1.0, 1.0, 26.0}, std::nullopt, 3, 1);
    writeHuman(out, &m);
    EXPECT_EQ(out.str(), "3 x 1 real matrix:\n  -1\n   1\n  26\n");

    // The marker sits under the argument, TABs and multi-byte characters
    // before it included.
    const MarkedEcho e = markedEcho("\t\"\xC3\xA9\" + Leg(2, x)", 15, 16);
    EXPECT_EQ(e.echo, "\t\"\xC3\xA9\" + Leg(2, x)");
    EXPECT_EQ(e.marker, "\t" + std::string(13, ' ') + "^");
    EXPECT_EQ(markedEcho("1 +", 3, 3).marker, "   ^");
    EXPECT_EQ(markedEcho("a\x01\xFF", 0, 3).echo, "a??");
}

}  // namespace
}  // namespace OruCli
