#pragma once

// Hermite polynomials H_n(x), physicists' normalisation.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulHer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

// H_n(x) by H(k) = 2 (x H(k-1) - (k - 1) H(k-2)), on x itself.
void hermiteRecurrence(double& out, unsigned n, double x);

// The argument checks of the kernels whose first argument is a non-negative
// integer (degree or order) and whose second is a real point: Hermite,
// Laguerre, Legendre, ber and bei. A complex degree is reported as "must be
// integer", not "must be real". Returns the accepted degree.
int checkedDegreeAndPoint(const tabulComplex& a, const tabulComplex& b);

}  // namespace Oru
