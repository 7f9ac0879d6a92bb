#pragma once

// Legendre polynomials P_n(x) of any real point.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulLeg(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

}  // namespace Oru
