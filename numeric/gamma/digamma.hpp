#pragma once

// The digamma function psi(x) = Gamma'(x) / Gamma(x) of a real argument.

namespace Oru {

// Raises "domain error" (index -1) at 0 and the negative integers.
double digamma(double x);

}  // namespace Oru
