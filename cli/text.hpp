#pragma once

// Text helpers shared by the lexer and the printers: UTF-8 validation,
// JSON string escaping, the shortest round-trip form of a double, and the
// echo of a statement with a marker line under part of it.

#include <cstddef>
#include <string>
#include <string_view>

namespace OruCli {

// Length of the well-formed UTF-8 sequence starting at s[i] (1 for ASCII),
// or 0 when the bytes there are not well-formed UTF-8 (overlong forms,
// surrogates and code points above U+10FFFF included).
std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

// s as the contents of a JSON string (without the quotes): quotes,
// backslashes and every control character escaped; bytes that are not
// well-formed UTF-8 become U+FFFD, so the output is always valid JSON.
std::string jsonEscape(std::string_view s);

// The shortest decimal form that reads back to the same double ("26",
// "-0", "0.1", "1e+300"); "inf", "-inf" and "nan" for the non-finite.
std::string shortestDouble(double x);

// A double as a JSON value: the shortest form, always with a '.' or an
// exponent so that a reader keeps it a floating-point number ("26.0",
// "-0.0"); the non-finite as the strings "inf", "-inf", "nan".
std::string jsonNumber(double x);

// Two lines for people: the statement as it can be shown on a terminal
// (control characters and malformed bytes as '?'), and under it a marker
// of '^' beneath the bytes [begin, end) (one '^' when the range is empty).
// TABs before the marked part are copied so that the marker lines up.
struct MarkedEcho {
    std::string echo;
    std::string marker;
};
MarkedEcho markedEcho(std::string_view statement, std::size_t begin, std::size_t end);

}  // namespace OruCli
