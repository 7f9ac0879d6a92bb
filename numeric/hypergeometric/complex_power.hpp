#pragma once

// Complex powers z^w for the (1 - x)^p factors of the Gauss hypergeometric
// transformations: exact or cheaper formulas for special exponents and bases,
// the principal value otherwise, and a check of the result for overflow.

#include "numeric/core/complex.hpp"

namespace Oru {

// z^w. Raises "singularity" for 0 to a negative real power and "overflow"
// when a part of a result computed by pow, by z itself, by squaring or by the
// exponential form exceeds 1e307 (only positive parts are caught).
tabulComplex complexPower(const tabulComplex& z, const tabulComplex& w);
// z^v with a real exponent.
tabulComplex complexPowerReal(const tabulComplex& z, double v);
// z^n by repeated squaring; a negative n uses the reciprocal of z.
tabulComplex complexIntPower(const tabulComplex& z, int n);

}  // namespace Oru
