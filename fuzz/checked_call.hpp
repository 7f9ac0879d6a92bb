#pragma once

// Makes one decoded call and checks everything the library promises a host
// about it (see outcome_check.hpp); a view argument is also called through
// its packed twin, which must give the same outcome bit for bit.

#include <cfenv>
#include <cstdio>
#include <exception>
#include <string>

#include "fuzz/call_decoder.hpp"
#include "fuzz/outcome_check.hpp"

namespace OruFuzz {

struct Outcome {
    std::string fingerprint;  // result bits or error
    std::string problem;      // empty when the call kept every promise
};

// Calls e with args from a thread running in the given rounding mode, and
// restores round-to-nearest afterwards.
inline Outcome callChecked(const EntryPoint& e, Args args, int roundingMode) {
    Outcome out;
    std::fesetround(roundingMode);
    const FpControl before = currentFpControl();
    auto checkEnvironment = [&] {
        if (!(currentFpControl() == before))
            out.problem = "floating-point control settings changed by the call";
    };
    try {
        const Oru::Special::Result result = e.call(args);
        checkEnvironment();
        if (out.problem.empty()) out.problem = checkResult(result.get(), args, e.arity);
        out.fingerprint = fingerprint(result.get());
    } catch (const Vesk::Run::AppException& error) {
        checkEnvironment();
        if (out.problem.empty()) out.problem = checkError(error, e.arity);
        out.fingerprint = fingerprint(error);
    } catch (const std::exception& error) {
        out.problem = std::string("unexpected exception: ") + error.what();
    } catch (...) {
        out.problem = "unexpected exception of unknown type";
    }
    std::fesetround(FE_TONEAREST);
    return out;
}

// Empty when the call and its packed twin kept every promise; calls over the
// recurrence budget are skipped.
inline std::string runChecked(const DecodedCall& call) {
    const EntryPoint& e = call.entry();
    const auto args = DecodedCall::pointers(call.values);
    if (recurrenceSteps(e, args.data()) > kRecurrenceStepBudget) return {};
    const Outcome first = callChecked(e, args.data(), call.roundingMode);
    if (!first.problem.empty()) return std::string(e.name) + ": " + first.problem;
    if (!call.hasView) return {};
    const auto packed = DecodedCall::pointers(call.packed);
    const Outcome twin = callChecked(e, packed.data(), call.roundingMode);
    if (!twin.problem.empty()) return std::string(e.name) + " (packed copy): " + twin.problem;
    if (twin.fingerprint != first.fingerprint)
        return std::string(e.name) + ": a view and its packed copy differ: " + first.fingerprint + " | " +
               twin.fingerprint;
    return {};
}

// A readable account of a decoded call, for reports of findings: every
// number with its exact value in hexadecimal.
inline std::string describeValue(const Tabul::Value* v) {
    auto number = [](double re, double im) {
        char buf[80];
        std::snprintf(buf, sizeof buf, "%a%+ai", re, im);
        return std::string(buf);
    };
    if (v == nullptr) return "null";
    if (dynamic_cast<const Tabul::TextVal*>(v) != nullptr) return "text";
    if (const auto* n = dynamic_cast<const Tabul::NumVal*>(v)) return number(n->Data.rp, n->Data.ip);
    const auto& m = dynamic_cast<const Tabul::MatVal&>(*v);
    std::string s = "[" + std::to_string(m.Data.m_rows) + "x" + std::to_string(m.Data.m_cols) +
                    (m.HasPtrs()   ? " nested"
                     : m.HasImag() ? " complex"
                                   : " real") +
                    " offset " + std::to_string(m.m_offset) + " stride " + std::to_string(m.Data.m_anr) + ":";
    for (int j = 0; j < m.Data.m_cols; ++j)
        for (int i = 0; i < m.Data.m_rows; ++i)
            s += " " + (m.HasPtrs() ? describeValue(&m.At(i, j)) : number(m.Re(i, j), m.Im(i, j)));
    return s + "]";
}

inline std::string describeCall(const DecodedCall& call) {
    static const char* const modes[] = {"to nearest", "upward", "downward", "toward zero"};
    const int mode = call.roundingMode == FE_UPWARD       ? 1
                     : call.roundingMode == FE_DOWNWARD   ? 2
                     : call.roundingMode == FE_TOWARDZERO ? 3
                                                          : 0;
    std::string s = std::string(call.entry().name) + "(";
    for (std::size_t k = 0; k < call.values.size(); ++k)
        s += (k ? ", " : "") + describeValue(call.values[k].get());
    return s + ") rounding " + modes[mode];
}

}  // namespace OruFuzz
