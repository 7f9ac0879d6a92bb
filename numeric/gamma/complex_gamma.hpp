#pragma once

// The complete gamma function of a complex argument, by Stirling's series
// after an upward shift of 11, with the reflection formula left of 1/2 and
// an exact path through the factorial for positive integers.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulGamma1(tabulComplex& res, const tabulComplex& a);

// A logarithm of Gamma(x + iy) for x >= 0.5: the sum of principal logarithms
// of the series, its imaginary part not reduced to a principal range.
tabulComplex stirlingComplexLnGamma(double x, double y);
// ln(complexAbsWide(x, y)) + i complexArg(y, x).
tabulComplex complexLogWide(double x, double y);
// |x + iy| over the whole double range, one part dominating the other by
// more than e^20 taken alone.
double complexAbsWide(double x, double y);
// sqrt(a^2 + b^2) with parts below 3.14e-153 in magnitude counted as 0.
double hypotFlushed(double a, double b);

}  // namespace Oru
