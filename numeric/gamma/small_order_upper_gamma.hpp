#pragma once

// The upper incomplete gamma function for a small order and a small point,
// where Gamma(a) and the lower function gamma(a, x) are both close to 1/a and
// their difference would lose the digits that Gamma(a, x) keeps.

namespace Oru {

// Gamma(a, x) for 0 < a < 1 and 0 < x <= 1, without the difference
// Gamma(a) - gamma(a, x).
double upperGammaSmallOrder(double a, double x);

}  // namespace Oru
