#pragma once

// The connection of the Gauss function to 1 - x where c - a - b lies within
// 2^-30 of an integer, in double-double arithmetic: for the points where the
// two parts of that form, or its series, cancel more than extended precision
// resolves.

#include "numeric/core/double_double.hpp"
#include "numeric/hypergeometric/gauss_wide.hpp"

namespace Oru {

// s^p 2F1(a, b; c; 1 - s) for c - a - b = m + e, m >= 0 an integer and
// |e| <= 2^-30, every argument exact. No value (infinite error) where a or
// b is at a pole of Gamma, a + m or b + m within 1/16 of one, or the series
// needs more than a few thousand terms.
WideSeriesSum limitConnectionDoubleDouble(const DoubleDouble& a, const DoubleDouble& b, double c, int m,
                                          const DoubleDouble& e, const DoubleDouble& s,
                                          const DoubleDouble& p);

}  // namespace Oru
