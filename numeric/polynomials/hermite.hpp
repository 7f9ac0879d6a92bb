#pragma once

// Hermite polynomials H_n(x), physicists' normalisation.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulHer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

// H_n(x) by H(k) = 2 (x H(k-1) - (k - 1) H(k-2)), on x itself.
double hermiteRecurrence(unsigned n, double x);

}  // namespace Oru
