#pragma once

// The Gauss series summed in a fixed-size wide arithmetic (three, four or six
// 64-bit limbs: at least 128, 192 or 320 significant bits) with exact
// rational factors: for the forms whose terms exceed their sum by more than
// double-double arithmetic resolves.

#include <cmath>

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
// series needs more than a few thousand terms. `spread` bounds the sum of the
// terms' magnitudes over that of the sum where a less precise sum knows it
// (infinite where not): the sum is first formed with as few limbs as that
// needs, and again with the most where those are not enough.
WideSeriesSum wideGaussSeries(const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                              const DoubleDouble& zNum, const DoubleDouble& zDen,
                              long double spread = HUGE_VALL);

}  // namespace Oru
