#pragma once

// Incomplete gamma functions of real arguments: the regularized lower P(a, x)
// with a truncated to an integer, and the upper Gamma(a, x).

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulIgamma(tabulComplex& res, const tabulComplex& a, const tabulComplex& x);
void tabulGamma2(tabulComplex& res, const tabulComplex& a, const tabulComplex& x);

// P(a, x) = gamma(a, x) / Gamma(a) by its power series; the region x > 1,
// x > a by 1 - Q(a, x). 0 for x <= 0 or a <= 0. Raises "underflow" (index -1)
// where x^a e^-x / Gamma(a) is below the extended range in the series region.
double regLowerGamma(double a, double x);
// Q(a, x) = 1 - P(a, x) by its continued fraction, for x > 1, x > a, a > 0.
// Raises "underflow" (index -1) where Q is below the extended range.
double regUpperGamma(double a, double x);

}  // namespace Oru
