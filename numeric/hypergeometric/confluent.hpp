#pragma once

// Kummer's confluent hypergeometric function 1F1(a; b; x) for real arguments.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulMhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b,
                 const tabulComplex& x);

}  // namespace Oru
