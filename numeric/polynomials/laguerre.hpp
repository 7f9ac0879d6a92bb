#pragma once

// Laguerre polynomials L_n(x), L_n(0) = 1.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulLag(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

// L_n(x) by k L(k) = (2k - 1 - x) L(k-1) - (k - 1) L(k-2), rearranged so
// that the only division is by k.
double laguerreRecurrence(int n, double x);

}  // namespace Oru
