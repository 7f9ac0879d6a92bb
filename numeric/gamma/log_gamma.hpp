#pragma once

// The principal branch of ln Gamma(z) of a complex argument.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulLnGamma(tabulComplex& res, const tabulComplex& a);

}  // namespace Oru
