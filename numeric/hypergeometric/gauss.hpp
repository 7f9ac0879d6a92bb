#pragma once

// The Gauss hypergeometric function 2F1(a, b; c; x) for real a, b, c and
// -1 < x < 1.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulFhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b,
                 const tabulComplex& c, const tabulComplex& x);

}  // namespace Oru
