#pragma once

// The regularized incomplete beta function I_x(a, b); argument order x, a, b.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulIbeta(tabulComplex& res, const tabulComplex& x, const tabulComplex& a, const tabulComplex& b);

// Sets result to 0 first; checks a, b, then x, and evaluates I_x(a, b).
// Raises "must be positive" (2 or 3), "must be between\t0\t1" (1) and
// "underflow" (-1).
void incompleteBeta(double x, double a, double b, double& result);

// The continued fraction for I_x(a, b) in x, and the one in z = x / (1 - x);
// each runs at most 100 passes and returns its last convergent.
void betaContinuedFraction1(double a, double b, double x, double& ans);
void betaContinuedFraction2(double a, double b, double x, double& ans);

}  // namespace Oru
