#pragma once

// Incomplete gamma functions of real arguments: the regularized lower P(a, x)
// with a truncated to an integer, and the upper Gamma(a, x).

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulIgamma(tabulComplex& res, const tabulComplex& a, const tabulComplex& x);
void tabulGamma2(tabulComplex& res, const tabulComplex& a, const tabulComplex& x);

}  // namespace Oru
