#pragma once

// Running one statement of the command line: parse, evaluate, print.

#include <cstddef>
#include <functional>
#include <ostream>
#include <string_view>

#include "cli/session.hpp"
#include "cli/syntax_error.hpp"

namespace OruCli {

// Outcomes of a statement; the process exits with the largest one met.
enum StatementStatus : int {
    StatementOk = 0,
    StatementFailed = 1,     // the evaluation raised an error
    StatementMalformed = 2,  // the statement does not parse
};

// Statements longer than this are refused unread.
inline constexpr std::size_t kMaxStatementBytes = std::size_t{1} << 20;

// Whether the line holds nothing to run: only white space, or a comment
// starting with '#'.
bool isBlankOrComment(std::string_view line);

// Runs one statement: EXPR prints its value, NAME := EXPR defines NAME and
// prints nothing, a blank or comment line does nothing, "help" and
// "help NAME" print help. Failures print one error record (JSON) or an
// error with the statement marked (people).
int runStatement(Session& session, std::string_view line, std::ostream& out, bool json);

// What becomes of the value of an expression statement; returns the
// statement's status.
using ValueSink = std::function<int(std::string_view statement, const Held& value)>;

// As above, but the value of an expression goes to sink instead of out.
int runStatement(Session& session, std::string_view line, std::ostream& out, bool json,
                 const ValueSink& sink);

// Prints a syntax error for line, as runStatement would; returns
// StatementMalformed.
int reportSyntaxError(const Session& session, std::string_view line, const SyntaxError& error,
                      std::ostream& out, bool json);

}  // namespace OruCli
