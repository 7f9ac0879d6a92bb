#pragma once

// Real gamma and log-gamma helpers shared by the incomplete gamma, incomplete
// beta and hypergeometric kernels. Errors carry argument index -1.

#include "numeric/core/complex.hpp"

namespace Oru {

// ln|Gamma(x)|; raises "overflow" at the poles and where ln|Gamma(x)| leaves
// the double range (x above 2.55e305, +inf).
double realLogGamma(double x);
// Gamma(x); raises "overflow" and "singularity".
double realGamma(double x);

}  // namespace Oru
