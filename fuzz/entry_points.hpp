#pragma once

// The fourteen entry points as data, for the fuzz targets and the tests that
// replay their inputs: a name, the number of host arguments, a uniform way to
// call each one, and where its degree or order sits.
//
// The recurrences of the polynomials and the first Kelvin term take one step
// per unit of degree, so a single call with a degree near 2^31 runs for
// seconds (see docs/reliability.md). Those classes are known and measured
// separately; the fuzz targets skip calls whose recurrences would add up to
// more than a budget of steps, so that every input they do run is quick and
// anything slow is a finding.

#include <array>
#include <cmath>
#include <cstdint>

#include "host/functions.hpp"
#include "oru/special.hpp"
#include "tabul/values.hpp"

namespace OruFuzz {

using Args = Oru::Host::HostArgs;
using Call = Oru::Host::HostCall;

struct EntryPoint {
    const char* name;
    unsigned arity;
    Call call;
    int degreeArgument;       // 0-based position of the degree or order, -1 for none
    int otherVectorArgument;  // the other position that may be a vector, -1 for none
};

// One entry per host function, in the order of the library's table, each
// called through its widest form (Gamma with two arguments, the second of
// which may be null). The first byte of an input chooses the entry by its
// index, so this order is part of the meaning of the committed corpora.
inline constexpr std::array<EntryPoint, Oru::Host::kFunctionCount> kEntryPoints = [] {
    using Oru::Host::kFunctionForms;
    std::array<EntryPoint, Oru::Host::kFunctionCount> entries{};
    std::size_t k = 0;
    for (std::size_t row = 0; row < kFunctionForms.size(); ++row) {
        if (!Oru::Host::isLastForm(row)) continue;
        const auto& form = kFunctionForms[row];
        int other = -1;
        if (form.degreeArgument >= 0)
            for (int position = 0; position < static_cast<int>(form.arity); ++position)
                if (position != form.degreeArgument && (form.vectorArguments >> position & 1u) != 0)
                    other = position;
        entries[k++] = {form.name.data(), static_cast<unsigned>(form.arity), form.call, form.degreeArgument,
                        other};
    }
    return entries;
}();

// Calls whose recurrence steps add up to more than this are skipped: about
// 30 ms of work in an instrumented build.
inline constexpr std::uint64_t kRecurrenceStepBudget = std::uint64_t{1} << 22;

// Steps a recurrence would take for this degree: an over-estimate (the
// imaginary part and the exact integer test are ignored), 0 for a degree
// that is rejected before any step.
inline std::uint64_t degreeSteps(double degree) {
    if (!(degree >= 1.5 && degree < 2147483648.0)) return 0;
    return static_cast<std::uint64_t>(std::floor(degree + 0.1));
}

// The number of numbers a value stands for in a call: 1 for a scalar, the
// elements of a numeric matrix, 0 for anything the call rejects at once.
inline std::uint64_t elementCount(const Tabul::Value* v) {
    if (dynamic_cast<const Tabul::NumVal*>(v) != nullptr) return 1;
    const auto* m = dynamic_cast<const Tabul::MatVal*>(v);
    if (m == nullptr || m->HasPtrs()) return 0;
    return static_cast<std::uint64_t>(m->Data.m_rows) * static_cast<std::uint64_t>(m->Data.m_cols);
}

// Total recurrence steps of a call: for a scalar degree, its steps times the
// elements of the other vector argument; for a vector of degrees, the sum of
// their steps.
inline std::uint64_t recurrenceSteps(const EntryPoint& e, Args args) {
    if (e.degreeArgument < 0) return 0;
    const Tabul::Value* degree = args[e.degreeArgument];
    if (const auto* s = dynamic_cast<const Tabul::NumVal*>(degree)) {
        const std::uint64_t other = elementCount(args[e.otherVectorArgument]);
        return degreeSteps(s->Data.rp) * (other == 0 ? 1 : other);
    }
    const auto* m = dynamic_cast<const Tabul::MatVal*>(degree);
    if (m == nullptr || m->HasPtrs()) return 0;
    std::uint64_t total = 0;
    for (int j = 0; j < m->Data.m_cols; ++j)
        for (int i = 0; i < m->Data.m_rows; ++i) total += degreeSteps(m->Re(i, j));
    return total;
}

}  // namespace OruFuzz
