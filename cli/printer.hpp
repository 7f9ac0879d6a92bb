#pragma once

// Output of results and errors, as one JSON record per line for programs or
// as text for people.
//
// JSON records:
//   {"kind":"scalar","re":R,"im":I}
//   {"kind":"matrix","rows":N,"cols":M,"re":[...],"im":[...] or null}   column-major
//   {"kind":"nested","rows":N,"cols":M,"elements":[record,...]}        column-major
//   {"kind":"text","text":"..."}
//   {"kind":"null"}
//   {"kind":"error","message":"...","argument":K}                       K 1-based or -1
//   {"kind":"syntax","message":"...","column":C}                        C 1-based byte column

#include <ostream>
#include <string>
#include <string_view>

#include "cli/session.hpp"
#include "cli/syntax_error.hpp"
#include "tabul/values.hpp"

namespace OruCli {

// One JSON record, without the line end. value may be null.
void writeJson(std::ostream& out, const Tabul::Value* value);
void writeJsonError(std::ostream& out, const EvalError& error);
void writeJsonSyntax(std::ostream& out, const SyntaxError& error);

// A scalar for people: "1.5", "1 - 2i", "complex(1, nan)" when the
// imaginary part is not finite. A real scalar (imaginary part 0.0) shows
// only its real part unless alwaysComplex is set.
std::string humanScalar(double re, double im, bool alwaysComplex);

// A value for people, one or more full lines.
void writeHuman(std::ostream& out, const Tabul::Value* value);

// An error for people: the message, the statement, and a marker line under
// the offending argument or token.
void writeHumanError(std::ostream& out, std::string_view location, std::string_view statement,
                     const EvalError& error);
void writeHumanSyntax(std::ostream& out, std::string_view location, std::string_view statement,
                      const SyntaxError& error);

}  // namespace OruCli
