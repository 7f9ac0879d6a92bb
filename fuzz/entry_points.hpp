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

#include "oru/special.hpp"
#include "tabul/values.hpp"

namespace OruFuzz {

using Args = const Tabul::Value* const*;
using Call = Oru::Special::Result (*)(Args);

struct EntryPoint {
    const char* name;
    unsigned arity;
    Call call;
    int degreeArgument;       // 0-based position of the degree or order, -1 for none
    int otherVectorArgument;  // the other position that may be a vector, -1 for none
};

using S = Oru::Special;

inline constexpr std::array<EntryPoint, 14> kEntryPoints{{
    {"Bei", 2, [](Args a) { return S::Bei(a[0], a[1]); }, 0, 1},
    {"Ber", 2, [](Args a) { return S::Ber(a[0], a[1]); }, 0, 1},
    {"Fhyper", 4, [](Args a) { return S::Fhyper(a[0], a[1], a[2], a[3]); }, -1, -1},
    {"Mhyper", 3, [](Args a) { return S::Mhyper(a[0], a[1], a[2]); }, -1, -1},
    {"Ibeta", 3, [](Args a) { return S::Ibeta(a[0], a[1], a[2]); }, -1, -1},
    {"Igamma", 2, [](Args a) { return S::Igamma(a[0], a[1]); }, -1, -1},
    {"Gamma", 2, [](Args a) { return S::Gamma(a[0], a[1]); }, -1, -1},
    {"LnGamma", 1, [](Args a) { return S::LnGamma(a[0]); }, -1, -1},
    {"Jac", 4, [](Args a) { return S::Jac(a[0], a[1], a[2], a[3]); }, 0, 3},
    {"Her", 2, [](Args a) { return S::Her(a[0], a[1]); }, 0, 1},
    {"Lag", 2, [](Args a) { return S::Lag(a[0], a[1]); }, 0, 1},
    {"Leg", 2, [](Args a) { return S::Leg(a[0], a[1]); }, 0, 1},
    {"Tcheb", 2, [](Args a) { return S::Tcheb(a[0], a[1]); }, 0, 1},
    {"Ucheb", 2, [](Args a) { return S::Ucheb(a[0], a[1]); }, 0, 1},
}};

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
