#pragma once

// Jacobi polynomials P_n^(alpha, beta)(x).

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulJac(tabulComplex& res, const tabulComplex& a, const tabulComplex& b,
              const tabulComplex& c, const tabulComplex& d);

}  // namespace Oru
