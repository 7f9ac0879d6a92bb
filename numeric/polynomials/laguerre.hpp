#pragma once

// Laguerre polynomials L_n(x), L_n(0) = 1.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulLag(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

}  // namespace Oru
