#pragma once

// Statement grammar:
//   statement := NAME ':=' expr | expr
//   expr      := term (('+' | '-') term)*
//   term      := unary (('*' | '/') unary)*
//   unary     := ('-' | '+') unary | primary
//   primary   := NUMBER | IMAGINARY | TEXT | 'inf' | 'nan' | 'null' | NAME
//              | NAME '(' [expr (',' expr)*] ')' | '(' expr ')'
//              | '[' row (';' row)* ']'      with   row := expr (',' expr)*
// A minus directly before a literal is part of the literal (-2 is the real
// number -2 + 0i, -2i is 0 - 2i), so negative numbers keep a zero imaginary
// part of the usual sign. Nesting of parentheses, brackets, calls and unary
// signs is capped, so no input can exhaust the stack.

#include <cstddef>
#include <string_view>

#include "cli/ast.hpp"
#include "cli/syntax_error.hpp"

namespace OruCli {

inline constexpr std::size_t kMaxNestingDepth = 100;

// Parses one statement (which must not be blank). Throws SyntaxError.
// Function names and arities are checked here; variable names are not,
// since they depend on the statements before.
Statement parseStatement(std::string_view statement);

// Whether name can be defined with NAME := EXPR: not a function name and
// not one of the words inf, nan, null.
bool isDefinableName(std::string_view name);

}  // namespace OruCli
