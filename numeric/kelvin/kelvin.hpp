#pragma once

// Kelvin functions ber_n(x) and bei_n(x) by their power series.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulBer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);
void tabulBei(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

}  // namespace Oru
