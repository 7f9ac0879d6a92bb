#pragma once

// The fourteen host functions as data, written once: every program around the
// library (the command line, the fuzz targets, the tests, the benchmarks)
// reads this table. A function with two forms (Gamma) has one row per form;
// rows of one function are adjacent.
//
// Each row names the host function, its form as the worksheet writes it, the
// file of its reference values (data/reference/<file>.txt), the host call
// and the kernel, which arguments may be vectors, and where a degree sits.
// Programs linked against the shared library see only its public entry
// points, so they read the table in constant expressions only and never the
// kernel column (which stays unreferenced there).

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

#include "numeric/core/complex.hpp"
#include "numeric/gamma/complex_gamma.hpp"
#include "numeric/gamma/incomplete_gamma.hpp"
#include "numeric/gamma/log_gamma.hpp"
#include "numeric/hypergeometric/confluent.hpp"
#include "numeric/hypergeometric/gauss.hpp"
#include "numeric/hypergeometric/incomplete_beta.hpp"
#include "numeric/kelvin/kelvin.hpp"
#include "numeric/polynomials/chebyshev.hpp"
#include "numeric/polynomials/hermite.hpp"
#include "numeric/polynomials/jacobi.hpp"
#include "numeric/polynomials/laguerre.hpp"
#include "numeric/polynomials/legendre.hpp"
#include "oru/special.hpp"

namespace Oru::Host {

using HostArgs = const Tabul::Value* const*;
using HostCall = Special::Result (*)(HostArgs);
// A kernel with its arguments in host order in one array.
using KernelCall = void (*)(tabulComplex& res, const tabulComplex* args);

inline constexpr std::size_t kMaxArity = 4;

template <class... Args>
constexpr std::size_t kernelArity(void (*)(tabulComplex&, const Args&...)) {
    return sizeof...(Args);
}

template <auto Kernel, std::size_t... K>
void callKernelWith(tabulComplex& res, const tabulComplex* args, std::index_sequence<K...>) {
    Kernel(res, args[K]...);
}

template <auto Kernel>
void callKernel(tabulComplex& res, const tabulComplex* args) {
    callKernelWith<Kernel>(res, args, std::make_index_sequence<kernelArity(Kernel)>{});
}

// Bit k set: host argument k + 1 may be a vector.
enum VectorArguments : unsigned {
    kFirstVector = 1u,
    kEitherOrBoth = 3u,   // two arguments, either or both vectors
    kFirstOrFourth = 9u,  // four arguments, the first or the fourth (not both)
    kAnyOneOfThree = 7u,  // three arguments, exactly one of them
};

struct FunctionForm {
    std::string_view name;       // host function
    std::string_view signature;  // the form with its parameter names
    std::string_view file;       // reference data file
    std::size_t arity;           // host arguments of this form
    HostCall call;
    KernelCall kernel;
    unsigned vectorArguments;  // VectorArguments
    int degreeArgument;        // 0-based position of a degree or order, -1 for none
    bool complexArgument;      // the one argument may be complex (its reference inputs: re, im)
};

inline constexpr std::array<FunctionForm, 15> kFunctionForms{{
    {"Bei", "Bei(n, x)", "bei", 2, [](HostArgs a) { return Special::Bei(a[0], a[1]); },
     &callKernel<&tabulBei>, kEitherOrBoth, 0, false},
    {"Ber", "Ber(n, x)", "ber", 2, [](HostArgs a) { return Special::Ber(a[0], a[1]); },
     &callKernel<&tabulBer>, kEitherOrBoth, 0, false},
    {"Fhyper", "Fhyper(a, b, c, x)", "fhyper", 4,
     [](HostArgs a) { return Special::Fhyper(a[0], a[1], a[2], a[3]); }, &callKernel<&tabulFhyper>,
     kFirstOrFourth, -1, false},
    {"Mhyper", "Mhyper(a, b, x)", "mhyper", 3, [](HostArgs a) { return Special::Mhyper(a[0], a[1], a[2]); },
     &callKernel<&tabulMhyper>, kAnyOneOfThree, -1, false},
    {"Ibeta", "Ibeta(x, a, b)", "ibeta", 3, [](HostArgs a) { return Special::Ibeta(a[0], a[1], a[2]); },
     &callKernel<&tabulIbeta>, kAnyOneOfThree, -1, false},
    {"Igamma", "Igamma(a, x)", "igamma", 2, [](HostArgs a) { return Special::Igamma(a[0], a[1]); },
     &callKernel<&tabulIgamma>, kEitherOrBoth, -1, false},
    {"Gamma", "Gamma(z)", "gamma", 1, [](HostArgs a) { return Special::Gamma(a[0], nullptr); },
     &callKernel<&tabulGamma1>, kFirstVector, -1, true},
    {"Gamma", "Gamma(a, x)", "gamma2", 2, [](HostArgs a) { return Special::Gamma(a[0], a[1]); },
     &callKernel<&tabulGamma2>, kEitherOrBoth, -1, false},
    {"LnGamma", "LnGamma(z)", "lngamma", 1, [](HostArgs a) { return Special::LnGamma(a[0]); },
     &callKernel<&tabulLnGamma>, kFirstVector, -1, true},
    {"Jac", "Jac(n, alpha, beta, x)", "jac", 4,
     [](HostArgs a) { return Special::Jac(a[0], a[1], a[2], a[3]); }, &callKernel<&tabulJac>, kFirstOrFourth,
     0, false},
    {"Her", "Her(n, x)", "her", 2, [](HostArgs a) { return Special::Her(a[0], a[1]); },
     &callKernel<&tabulHer>, kEitherOrBoth, 0, false},
    {"Lag", "Lag(n, x)", "lag", 2, [](HostArgs a) { return Special::Lag(a[0], a[1]); },
     &callKernel<&tabulLag>, kEitherOrBoth, 0, false},
    {"Leg", "Leg(n, x)", "leg", 2, [](HostArgs a) { return Special::Leg(a[0], a[1]); },
     &callKernel<&tabulLeg>, kEitherOrBoth, 0, false},
    {"Tcheb", "Tcheb(n, x)", "tcheb", 2, [](HostArgs a) { return Special::Tcheb(a[0], a[1]); },
     &callKernel<&tabulTcheb>, kEitherOrBoth, 0, false},
    {"Ucheb", "Ucheb(n, x)", "ucheb", 2, [](HostArgs a) { return Special::Ucheb(a[0], a[1]); },
     &callKernel<&tabulUcheb>, kEitherOrBoth, 0, false},
}};

// The row of this reference file or signature; a constant expression when
// the argument is one (an unknown name then fails to compile).
constexpr const FunctionForm& formOf(std::string_view fileOrSignature) {
    for (const FunctionForm& f : kFunctionForms)
        if (f.file == fileOrSignature || f.signature == fileOrSignature) return f;
    throw "no such function form";
}

// Whether the row is the last (widest) form of its function: one row per
// function is marked.
constexpr bool isLastForm(std::size_t row) {
    return row + 1 == kFunctionForms.size() || kFunctionForms[row + 1].name != kFunctionForms[row].name;
}

// Whether the function has more than one form.
constexpr bool hasSeveralForms(std::string_view name) {
    std::size_t n = 0;
    for (const FunctionForm& f : kFunctionForms) n += f.name == name ? 1 : 0;
    return n > 1;
}

inline constexpr std::size_t kFunctionCount = [] {
    std::size_t n = 0;
    for (std::size_t row = 0; row < kFunctionForms.size(); ++row) n += isLastForm(row) ? 1 : 0;
    return n;
}();

}  // namespace Oru::Host
