#pragma once

// The regularized incomplete beta function I_x(a, b); argument order x, a, b.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulIbeta(tabulComplex& res, const tabulComplex& x, const tabulComplex& a,
                const tabulComplex& b);

}  // namespace Oru
