#pragma once

// What the benchmark program measures, as data:
//  * kernel regimes: one kernel on a pool of inputs drawn inside one branch
//    of its algorithm (a degree, a region of the point, a series or a
//    continued fraction), timed per evaluation, and optionally the same pool
//    through a peer library;
//  * entry cases: one host entry point on a long vector, timed per element,
//    next to a bare loop that calls the kernel on the same elements, so the
//    engine's own cost per element is the difference of the two.

#include <cstddef>
#include <string>
#include <vector>

#include "bench/inputs.hpp"
#include "oru/special.hpp"
#include "tabul/values.hpp"

namespace OruBench {

// A kernel with its arguments in host order in one array.
using KernelCall = void (*)(tabulComplex& res, const tabulComplex* args);

struct Regime {
    std::string function;  // host function, e.g. "Tcheb", "Gamma(z)"
    std::string regime;    // the branch or range the pool lies in
    std::string peerKey;   // which peer routine computes the same function; "" for none
    KernelCall kernel;
    std::vector<Args> pool;
};

const std::vector<Regime>& kernelRegimes();

// Elements of a vector argument, real and imaginary parts side by side.
struct VectorInputs {
    std::vector<double> re;
    std::vector<double> im;
};

using EntryCall = Oru::Special::Result (*)(const Tabul::Value* const* args);
// The reference: the kernel on every element, with the other arguments
// fixed, results written to preallocated arrays.
using ReferenceLoop = void (*)(const VectorInputs& v, const Args& fixed, double* outRe, double* outIm);

enum class VectorKind {
    Real,               // no imaginary array
    Complex,            // an imaginary array (zeros unless the function takes complex values)
    TwoRealVectors,     // the fixed argument as a vector too, both real
    TwoComplexVectors,  // both with imaginary arrays
};

struct EntryCase {
    std::string function;
    std::string variant;
    VectorKind kind;
    std::size_t arity;
    std::size_t position;  // 0-based host position of the vector
    Args fixed;            // values of the other arguments
    EntryCall entry;       // null: the reference loop is timed against itself
    ReferenceLoop reference;
    VectorInputs elements;
};

const std::vector<EntryCase>& entryCases();

constexpr std::size_t kPoolSize = 512;
constexpr std::size_t kVectorLength = 100000;

}  // namespace OruBench
