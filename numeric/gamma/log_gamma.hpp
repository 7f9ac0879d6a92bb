#pragma once

// The principal branch of ln Gamma(z) of a complex argument: the analytic
// continuation of the real ln Gamma from the positive axis, its imaginary
// part growing continuously (not reduced to (-pi, pi]), the cut along the
// negative real axis taking the limit from above.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulLnGamma(tabulComplex& res, const tabulComplex& a);

// The dispatcher; raises "function is undefined for 0 and negative integers"
// (argument 1) for a real non-positive integer.
tabulComplex complexLnGamma(double x, double y);
// x >= 0, y > 0: Stirling's series at z + n, n = trunc(16 - x) when |z| < 16.
tabulComplex lnGammaUpShift(double x, double y);
// x < 0, y > 5.92: Stirling's series at z - n, n = trunc(x + 16) when |z| < 16.
tabulComplex lnGammaDownShift(double x, double y);
// x < 0, 0 < y <= 5.92: the reflection formula.
tabulComplex lnGammaReflect(double x, double y);
// Stirling's asymptotic series, up to 15 Bernoulli terms.
tabulComplex stirlingSeriesLnGamma(tabulComplex z);

}  // namespace Oru
