// Fuzz target: the command line's statement parser and evaluator. The input
// is split into lines, and every line runs as one statement of a single
// session, once with JSON output and once for people. Every statement must
// end in one of its three statuses without throwing, and every JSON line it
// prints must be one record; no statement may end in an "internal error"
// (an exception of the library other than its documented one).
//
// The degree-taking entry points are reached through the linker's --wrap, so
// that a call whose recurrences exceed the step budget (a degree near 2^31,
// or a long vector of large degrees) is skipped like in the entry-point
// target: it is a known slow class, measured in docs/reliability.md. For the
// same reason an input that prints more than a megabyte (a linspace of
// millions of points) is abandoned once it has.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>

#include "cli/session.hpp"
#include "cli/statement.hpp"
#include "fuzz/entry_points.hpp"

namespace {

using Arg = const Tabul::Value*;
using Result = Oru::Special::Result;

// Thrown through the evaluator, which lets anything that is not a
// std::exception pass, to abandon an input over the step budget.
struct SkippedCall {};

void checkBudget(const char* name, Arg a, Arg b, Arg c = nullptr, Arg d = nullptr) {
    const Arg args[4] = {a, b, c, d};
    for (const OruFuzz::EntryPoint& e : OruFuzz::kEntryPoints)
        if (std::strcmp(e.name, name) == 0 &&
            OruFuzz::recurrenceSteps(e, args) > OruFuzz::kRecurrenceStepBudget)
            throw SkippedCall{};
}

}  // namespace

// The real entry points and their wrapped stand-ins, by their linker names.
#define ORU_FUZZ_WRAP_TWO(fn, mangled)                       \
    Result real##fn(Arg, Arg) asm("__real_" mangled);        \
    Result wrapped##fn(Arg a, Arg b) asm("__wrap_" mangled); \
    Result wrapped##fn(Arg a, Arg b) {                       \
        checkBudget(#fn, a, b);                              \
        return real##fn(a, b);                               \
    }

ORU_FUZZ_WRAP_TWO(Bei, "_ZN3Oru7Special3BeiEPKN5Tabul5ValueES4_")
ORU_FUZZ_WRAP_TWO(Ber, "_ZN3Oru7Special3BerEPKN5Tabul5ValueES4_")
ORU_FUZZ_WRAP_TWO(Her, "_ZN3Oru7Special3HerEPKN5Tabul5ValueES4_")
ORU_FUZZ_WRAP_TWO(Lag, "_ZN3Oru7Special3LagEPKN5Tabul5ValueES4_")
ORU_FUZZ_WRAP_TWO(Leg, "_ZN3Oru7Special3LegEPKN5Tabul5ValueES4_")
ORU_FUZZ_WRAP_TWO(Tcheb, "_ZN3Oru7Special5TchebEPKN5Tabul5ValueES4_")
ORU_FUZZ_WRAP_TWO(Ucheb, "_ZN3Oru7Special5UchebEPKN5Tabul5ValueES4_")

Result realJac(Arg, Arg, Arg, Arg) asm("__real__ZN3Oru7Special3JacEPKN5Tabul5ValueES4_S4_S4_");
Result wrappedJac(Arg a, Arg b, Arg c, Arg d) asm("__wrap__ZN3Oru7Special3JacEPKN5Tabul5ValueES4_S4_S4_");
Result wrappedJac(Arg a, Arg b, Arg c, Arg d) {
    checkBudget("Jac", a, b, c, d);
    return realJac(a, b, c, d);
}

namespace {

// Discards what a statement prints while checking it line by line: in JSON
// mode each line is one record, and no record reports an internal error.
class CheckingBuffer : public std::streambuf {
public:
    explicit CheckingBuffer(bool json) : m_json(json) {}

    const std::string& problem() const { return m_problem; }

protected:
    int_type overflow(int_type ch) override {
        if (ch != traits_type::eof()) take(traits_type::to_char_type(ch));
        return ch;
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override {
        for (std::streamsize k = 0; k < n; ++k) take(s[k]);
        return n;
    }

private:
    static constexpr std::size_t kHead = 96;
    // Printing a vector of ten million numbers for people takes longer than
    // the timeout in an instrumented build: a known cost of the printer, not
    // a fault, so an input that prints more than this is abandoned.
    static constexpr std::size_t kMaxOutput = std::size_t{1} << 20;

    void take(char c) {
        if (++m_written > kMaxOutput) throw SkippedCall{};
        if (c == '\n') {
            endLine();
            return;
        }
        if (m_head.size() < kHead) m_head += c;
        m_last = c;
        m_empty = false;
    }

    void endLine() {
        if (m_problem.empty()) {
            if (m_json && m_head.rfind("{\"kind\":\"error\",\"message\":\"internal error", 0) == 0)
                m_problem = m_head;
            if (m_json && (m_empty || m_head.rfind("{\"kind\":\"", 0) != 0 || m_last != '}'))
                m_problem = "not one JSON record: " + m_head;
        }
        m_head.clear();
        m_empty = true;
    }

    bool m_json;
    std::size_t m_written = 0;
    std::string m_head;
    char m_last = 0;
    bool m_empty = true;
    std::string m_problem;
};

constexpr std::size_t kMaxInput = 4096;
constexpr int kMaxStatements = 16;

// Runs every line as a statement of one session; returns what went wrong.
std::string runSession(std::string_view input, bool json) {
    OruCli::Session session;
    CheckingBuffer buffer(json);
    std::ostream out(&buffer);
    out.exceptions(std::ios::badbit);  // lets SkippedCall out of the buffer
    int statements = 0;
    while (!input.empty() && statements++ < kMaxStatements) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
        const int status = OruCli::runStatement(session, line, out, json);
        out.flush();
        if (status < OruCli::StatementOk || status > OruCli::StatementMalformed)
            return "status " + std::to_string(status) + " for: " + std::string(line);
        if (!buffer.problem().empty()) return buffer.problem() + " for: " + std::string(line);
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string problem;
    try {
        problem = runSession(input, true);
        if (problem.empty()) problem = runSession(input, false);
    } catch (const SkippedCall&) {
        return 0;
    } catch (const std::exception& e) {
        problem = std::string("a statement threw: ") + e.what();
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "broken promise: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
