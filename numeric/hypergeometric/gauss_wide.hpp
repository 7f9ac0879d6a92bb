#pragma once

// The Gauss series summed in a fixed-size wide arithmetic (six 64-bit
// limbs, at least 320 significant bits) with exact rational factors: for the
// forms whose terms exceed their sum by more than double-double arithmetic
// resolves.

#include "numeric/core/double_double.hpp"

namespace Oru {

// A sum and a bound on its relative error (infinite: no sum).
struct WideSeriesSum {
    long double value;
    long double error;
};

// sum over k of (a)_k (b)_k / ((c)_k k!) z^k with z = zNum / zDen, every
// parameter an exact double-double value. Every factor a + k, b + k, c + k,
// k + 1, zNum and zDen is an exact integer times a power of 2, so each term
// is formed exactly up to the truncation of the wide arithmetic. No sum
// (infinite error) where a factor does not fit 126 bits, c + k is 0, or the
// series needs more than a few thousand terms.
WideSeriesSum wideGaussSeries(const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                              const DoubleDouble& zNum, const DoubleDouble& zDen);

}  // namespace Oru
