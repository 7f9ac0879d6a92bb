// oru-special: evaluates statements with the library's special functions,
// from the command line, a file or standard input.

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/csv.hpp"
#include "cli/line_editor.hpp"
#include "cli/statement.hpp"

namespace {

constexpr std::string_view kHelpText = R"(Usage:
  oru-special [--json|--csv] STATEMENT...   evaluate each argument as one statement, in order
  oru-special [--json|--csv] -f FILE        evaluate FILE one statement per line ('-' = standard input)
  oru-special [--json|--csv]                read statements from standard input (at a terminal: a
                                            prompt with line editing, history and Tab completion)
  oru-special --help                        show this text

Statements
  EXPR                 evaluate EXPR and print its value
  NAME := EXPR         define the variable NAME (prints nothing unless it fails)
  # comment            blank lines and text after '#' are ignored
  help   help NAME     list the functions; show one function's arguments, checks, messages and an
                       example (works in every mode; with --json one record {"kind":"help","text":...})
  An empty statement given as an argument is a syntax error.

Expressions
  1   2.5   -1e-300   .5   inf   nan        real numbers; a literal outside the double range
                                            (1e999, 1e-999) is a syntax error
  2i   1e-300i                              imaginary numbers (real part 0)
  + - * /   unary -   ( )                   complex IEEE arithmetic on scalars; a real operand
                                            (imaginary part 0) is used as a real number
  complex(RE, IM)                           the scalar with exactly these parts: complex(2, -0.0)
  complex(V, W)                             complex vector from two real vectors of equal length;
                                            its imaginary array is W, even when all zero
  [1; 2; 3]   [1, 2; 3, 4]                  column vector, matrix: ';' ends a row, ',' a column;
                                            complex exactly when some entry's imaginary part is
                                            not 0.0 (NaN counts as not 0.0)
  [[1; 2]; 3]   [1; "a"]                    an entry that is a matrix or a text makes a nested
                                            matrix (of scalars, texts and matrices); a null entry
                                            is an error
  "text"                                    a text value; escapes \" \\ \t \n
  null                                      the null reference (an omitted argument)
  linspace(A, B, N)                         N equally spaced points from A to B, a real N x 1
                                            vector; 0 <= N <= 10000000
  Ber(n, x)  Bei(n, x)  Fhyper(a, b, c, x)  Mhyper(a, b, x)  Ibeta(x, a, b)  Igamma(a, x)
  Gamma(z)  Gamma(a, x)  LnGamma(z)  Jac(n, alpha, beta, x)  Her(n, x)  Lag(n, x)
  Leg(n, x)  Tcheb(n, x)  Ucheb(n, x)       the library's functions; Gamma(z) passes null as
                                            the second argument
  Arithmetic on anything but scalars (vectors, texts, null) is an evaluation error.
  Unknown names, an undefined variable, a wrong number of arguments, unequal matrix rows and
  unbalanced brackets are syntax errors: nothing of such a statement is evaluated.

Limits
  A statement has at most 1048576 bytes and at most 100 levels of nesting (parentheses,
  brackets, calls, signs); matrices nest at most 32 levels and hold at most 10000000 values
  in all. An argument starting with '-' is a statement (-1, -x) unless it starts with '--';
  '--' ends the options.

Output with --json: one line per evaluated expression and per failed statement
  {"kind":"scalar","re":R,"im":I}
  {"kind":"matrix","rows":N,"cols":M,"re":[...],"im":[...]}     column-major; "im":null for a
                                                                real matrix
  {"kind":"nested","rows":N,"cols":M,"elements":[...]}          column-major, each element one
                                                                of these records
  {"kind":"text","text":"..."}    {"kind":"null"}
  {"kind":"error","message":"...","argument":K}      K: 1-based argument position in the call
                                                     that failed (the innermost), or -1
  {"kind":"syntax","message":"...","column":C}       C: 1-based byte column in the statement
  {"kind":"help","text":"..."}                       the text of help or help NAME
  Numbers are the shortest form that reads back to the same double, always with '.' or an
  exponent (-0.0 keeps its sign); infinities and NaN are the strings "inf", "-inf", "nan".
Without --json the same results are written for people, and an error shows the statement
with the offending argument marked under it.

Output with --csv: columns for plotting, one per expression statement, under a header line
of the statements; a complex result gives the columns re(STATEMENT) and im(STATEMENT). Every
result must be a number or a column vector, all of one length. Errors and help go to standard
error, and nothing is written to standard output unless every statement succeeded.

Exit status
  0  every statement succeeded
  1  some evaluation failed (an error of a function, or of arithmetic, complex or linspace)
  2  some statement did not parse, or the command line itself is wrong (2 wins over 1)

Examples
  oru-special --json 'Tcheb(3, [0.5; 1; 2])'
      {"kind":"matrix","rows":3,"cols":1,"re":[-1.0,1.0,26.0],"im":null}
  oru-special 'v := linspace(0, 1, 5)' 'Leg(2, v)'
  oru-special --json 'Gamma(complex(0.5, 1))'
  printf 'x := 2\nHer(3, x)\n' | oru-special --json
  oru-special --csv 'x := linspace(0, 10, 200)' 'x' 'Ber(0, x)' 'Bei(0, x)' > kelvin.csv
)";

struct Options {
    bool json = false;
    bool csv = false;
    bool help = false;
    bool fromFile = false;
    std::string file;
    std::vector<std::string> statements;
    std::string usageError;
};

// Options are recognised anywhere before "--"; everything else is a
// statement. A statement starting with '-' (-1, -x) is taken as a statement
// unless it begins with "--"; "--" itself ends the options.
Options parseOptions(int argc, char** argv) {
    Options o;
    bool optionsEnded = false;
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (optionsEnded) {
            o.statements.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--csv") {
            o.csv = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "-f") {
            if (o.fromFile)
                o.usageError = "-f given twice";
            else if (k + 1 == argc)
                o.usageError = "-f needs a file name ('-' for standard input)";
            else
                o.file = argv[++k];
            o.fromFile = true;
        } else if (arg.substr(0, 2) == "--") {
            o.usageError = "unknown option '" + std::string(arg) +
                           "' (put '--' before a statement that starts with '--')";
        } else {
            o.statements.emplace_back(arg);
        }
        if (!o.usageError.empty()) break;
    }
    if (o.usageError.empty() && o.fromFile && !o.statements.empty())
        o.usageError = "statements cannot be given together with -f";
    if (o.usageError.empty() && o.json && o.csv) o.usageError = "--json and --csv cannot be given together";
    return o;
}

// Reads one line without its '\n' (and without a '\r' before it). A line
// longer than the statement limit is kept only up to one byte past the
// limit, which the statement runner then refuses, and the rest is skipped.
bool readLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    bool any = false;
    for (;;) {
        const auto c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            break;
        }
        any = true;
        if (c == '\n') break;
        if (line.size() <= OruCli::kMaxStatementBytes) line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

// Where the results go: printed, for people or as JSON records, or kept as
// the columns of --csv, which are written at the end when every statement
// succeeded; with --csv standard output holds nothing else, and errors and
// help go to standard error.
class Output {
public:
    explicit Output(const Options& options) : json_(options.json), csv_(options.csv) {}

    int run(OruCli::Session& session, std::string_view statement) {
        int status = OruCli::StatementOk;
        if (!csv_) {
            status = OruCli::runStatement(session, statement, std::cout, json_);
        } else {
            status = OruCli::runStatement(session, statement, std::cerr, false,
                                          [&](std::string_view text, const OruCli::Held& value) {
                                              return columns_.add(text, value, std::cerr, session.location);
                                          });
        }
        std::cout.flush();
        return status;
    }

    int finish(int status) {
        if (csv_ && status == OruCli::StatementOk) columns_.write(std::cout);
        if (csv_ && status != OruCli::StatementOk) std::cerr << "oru-special: no CSV written\n";
        return status;
    }

    // An error that is no statement's: on the output, or on standard error
    // with --csv.
    int reportSyntaxError(const OruCli::Session& session, std::string_view statement,
                          const OruCli::SyntaxError& error) const {
        return OruCli::reportSyntaxError(session, statement, error, csv_ ? std::cerr : std::cout, json_);
    }

private:
    bool json_;
    bool csv_;
    OruCli::CsvColumns columns_;
};

// Runs the lines of in; a read error (a directory given as the file, say)
// ends the run with a usage error after the statements read so far.
int runLines(OruCli::Session& session, std::istream& in, std::string_view source, Output& output, bool prompt,
             bool numberLines) {
    int status = OruCli::StatementOk;
    std::string line;
    try {
        for (long lineNumber = 1;; ++lineNumber) {
            if (prompt) std::cerr << "oru> " << std::flush;
            if (!readLine(in, line)) break;
            if (numberLines) session.location = "line " + std::to_string(lineNumber) + ": ";
            status = std::max(status, output.run(session, line));
        }
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "oru-special: cannot read " << source << ": " << e.what() << '\n';
        return OruCli::StatementMalformed;
    }
    if (prompt) std::cerr << '\n';
    return status;
}

int runArguments(OruCli::Session& session, const std::vector<std::string>& statements, Output& output) {
    int status = OruCli::StatementOk;
    for (const std::string& statement : statements) {
        // Blank lines of a file are skipped, but an empty argument is
        // almost always a mistake (an unset shell variable, say).
        if (statement.find_first_not_of(" \t\r\n\f\v") == std::string::npos) {
            status =
                std::max(status, output.reportSyntaxError(session, statement, {"empty statement", 0, 0}));
            std::cout.flush();
        } else {
            status = std::max(status, output.run(session, statement));
        }
    }
    return status;
}

// At a terminal: a word on help, then the prompt, with line editing when
// this build has it.
int runPrompt(OruCli::Session& session, Output& output) {
    std::cerr << "oru-special: 'help' lists the functions, 'help NAME' shows one; Ctrl-D ends.\n";
    if (!OruCli::hasLineEditing()) {
        std::cerr << "oru-special: no line editing, history or completion (built without GNU readline)\n";
        return runLines(session, std::cin, "standard input", output, true, false);
    }
    return OruCli::runEditedPrompt(session,
                                   [&](const std::string& line) { return output.run(session, line); });
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const Options options = parseOptions(argc, argv);
    if (!options.usageError.empty()) {
        std::cerr << "oru-special: " << options.usageError << "\nTry 'oru-special --help'.\n";
        return OruCli::StatementMalformed;
    }
    if (options.help) {
        std::cout << kHelpText;
        return OruCli::StatementOk;
    }
    OruCli::Session session;
    Output output(options);
    if (!options.statements.empty()) return output.finish(runArguments(session, options.statements, output));
    if (options.fromFile && options.file != "-") {
        std::ifstream file(options.file, std::ios::binary);
        if (!file) {
            std::cerr << "oru-special: cannot open '" << options.file << "'\n";
            return OruCli::StatementMalformed;
        }
        return output.finish(runLines(session, file, "'" + options.file + "'", output, false, !options.json));
    }
    if (isatty(STDIN_FILENO) == 1) return output.finish(runPrompt(session, output));
    return output.finish(runLines(session, std::cin, "standard input", output, false, !options.json));
}
