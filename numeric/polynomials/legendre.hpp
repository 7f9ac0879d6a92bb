#pragma once

// Legendre polynomials P_n(x) of any real point.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulLeg(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

// P_n(x) by k P(k) = (2k - 1) y P(k-1) - (k - 1) P(k-2) on y = |x|, with the
// parity rule restoring the sign.
double legendreRecurrence(int n, double x);

}  // namespace Oru
