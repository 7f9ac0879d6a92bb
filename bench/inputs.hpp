#pragma once

// Fixed, seeded inputs for the benchmarks. The generator and the mapping to
// doubles are written out here rather than taken from <random>'s
// distributions, whose results differ between standard libraries: the same
// seed gives the same inputs on every machine, so runs can be compared.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "numeric/core/complex.hpp"

namespace OruBench {

using Oru::tabulComplex;

// The arguments of one call, in host order; unused places stay 0.
using Args = std::array<tabulComplex, 4>;

class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_engine(seed) {}

    // Uniform on [lo, hi): 53 random bits scaled into the interval.
    double uniform(double lo, double hi) {
        const double unit = static_cast<double>(m_engine() >> 11) * 0x1p-53;
        return lo + (hi - lo) * unit;
    }

    // Uniform integer on [lo, hi].
    int integer(int lo, int hi) {
        const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<int>(m_engine() % span);
    }

    // A value of [lo, hi) at least `gap` (< 0.5) away from every integer,
    // for parameters that must stay clear of poles and integer special
    // cases; a draw too close to an integer moves to the half-integer.
    double awayFromIntegers(double lo, double hi, double gap) {
        const double x = uniform(lo, hi);
        const double fraction = x - std::floor(x);
        if (fraction > gap && fraction < 1.0 - gap) return x;
        const double half = std::floor(x) + 0.5;
        return (half >= lo && half < hi) ? half : x;
    }

private:
    std::mt19937_64 m_engine;
};

inline tabulComplex real(double x) {
    return tabulComplex(x, 0.0);
}

// Draws `count` argument sets; `draw` returns false to reject a candidate
// (rejection sampling keeps a pool inside one branch of an algorithm).
template <class Draw>
std::vector<Args> makePool(std::uint64_t seed, std::size_t count, Draw draw) {
    Rng rng(seed);
    std::vector<Args> pool;
    pool.reserve(count);
    // Every regime accepts a sizeable fraction of its candidates; the bound
    // only keeps a mistaken rule from looping for ever.
    for (std::size_t attempts = 0; pool.size() < count && attempts < 1000 * count; ++attempts) {
        Args args{real(0.0), real(0.0), real(0.0), real(0.0)};
        if (draw(rng, args)) pool.push_back(args);
    }
    return pool;
}

}  // namespace OruBench
