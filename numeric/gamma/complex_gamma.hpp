#pragma once

// The complete gamma function of a complex argument.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulGamma1(tabulComplex& res, const tabulComplex& a);

}  // namespace Oru
