#pragma once

// The regularized incomplete beta function I_x(a, b); argument order x, a, b.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulIbeta(tabulComplex& res, const tabulComplex& x, const tabulComplex& a, const tabulComplex& b);

// Checks a, b, then x, and evaluates I_x(a, b). Raises "must be positive"
// (2 or 3), "must be between\t0\t1" (1), "underflow" (-1) and, for parameters
// beyond about 1e8 near the mean, "not converging" (-1).
double incompleteBeta(double x, double a, double b);

// The continued fraction for I_x(a, b) in x, and the one in z = x / (1 - x);
// each raises "not converging" (-1) if it has not settled within 5000 passes.
double betaContinuedFraction1(double a, double b, double x);
double betaContinuedFraction2(double a, double b, double x);

}  // namespace Oru
