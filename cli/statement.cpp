#include "cli/statement.hpp"

#include <exception>
#include <new>
#include <string>

#include "cli/help.hpp"
#include "cli/parser.hpp"
#include "cli/printer.hpp"

namespace OruCli {

namespace {

// One error record: a JSON line, or the message with the statement marked.
template <typename Error, typename JsonWriter, typename HumanWriter>
int report(const Session& session, std::string_view line, const Error& error, std::ostream& out, bool json,
           JsonWriter writeJsonRecord, HumanWriter writeForPeople, int status) {
    if (json) {
        writeJsonRecord(out, error);
        out << '\n';
    } else {
        writeForPeople(out, session.location, line, error);
    }
    return status;
}

int reportEvalError(const Session& session, std::string_view line, const EvalError& error, std::ostream& out,
                    bool json) {
    return report(session, line, error, out, json, writeJsonError, writeHumanError, StatementFailed);
}

}  // namespace

bool isBlankOrComment(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t\r\n\f\v");
    return first == std::string_view::npos || line[first] == '#';
}

int reportSyntaxError(const Session& session, std::string_view line, const SyntaxError& error,
                      std::ostream& out, bool json) {
    return report(session, line, error, out, json, writeJsonSyntax, writeHumanSyntax, StatementMalformed);
}

int runStatement(Session& session, std::string_view line, std::ostream& out, bool json) {
    return runStatement(session, line, out, json, [&](std::string_view, const Held& value) {
        if (json) {
            writeJson(out, value.value.get());
            out << '\n';
        } else {
            writeHuman(out, value.value.get());
        }
        return StatementOk;
    });
}

int runStatement(Session& session, std::string_view line, std::ostream& out, bool json,
                 const ValueSink& sink) {
    if (line.size() > kMaxStatementBytes) {
        const SyntaxError tooLong{"statement longer than " + std::to_string(kMaxStatementBytes) + " bytes",
                                  kMaxStatementBytes, kMaxStatementBytes};
        return reportSyntaxError(session, line.substr(0, 0), tooLong, out, json);
    }
    if (isBlankOrComment(line)) return StatementOk;
    if (const std::optional<int> help = runHelp(session, line, out, json)) return *help;
    Statement statement;
    try {
        statement = parseStatement(line);
        session.checkNames(statement.expression);
    } catch (const SyntaxError& error) {
        return reportSyntaxError(session, line, error, out, json);
    }
    Held value;
    try {
        value = session.evaluate(statement.expression);
    } catch (const EvalError& error) {
        return reportEvalError(session, line, error, out, json);
    } catch (const std::bad_alloc&) {
        return reportEvalError(session, line, EvalError{"out of memory", -1, {}, 0, line.size()}, out, json);
    } catch (const std::exception& e) {
        const EvalError internal{std::string("internal error: ") + e.what(), -1, {}, 0, line.size()};
        return reportEvalError(session, line, internal, out, json);
    }
    if (statement.target) {
        session.define(*statement.target, std::move(value));
        return StatementOk;
    }
    return sink(line, value);
}

}  // namespace OruCli
