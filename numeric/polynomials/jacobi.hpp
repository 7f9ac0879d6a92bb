#pragma once

// Jacobi polynomials P_n^(alpha, beta)(x).

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulJac(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& c,
              const tabulComplex& d);

// P_n^(alpha, beta)(x) by the three-term recurrence in the degree; needs
// alpha, beta > -1 so that no divisor vanishes.
double jacobiRecurrence(int n, double alpha, double beta, double x);

}  // namespace Oru
