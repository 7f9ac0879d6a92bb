#pragma once

// Hermite polynomials H_n(x), physicists' normalisation.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulHer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

}  // namespace Oru
