#pragma once

// The prefactor x^a (1 - x)^b / B(a, b) of the incomplete beta function for
// large parameters, where ln Gamma(a + b) - ln Gamma(a) - ln Gamma(b) and the
// logarithms of the powers are large terms that cancel.

namespace Oru {

// ln(x^a (1 - x)^b / B(a, b)) for 0 < x < 1, a > 0, b > 0 and max(a, b) >= 10,
// in extended precision; 1 - x is never rounded on the way.
long double logBetaPrefactor(double x, double a, double b);

}  // namespace Oru
