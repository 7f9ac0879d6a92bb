#pragma once

// Real gamma and log-gamma helpers shared by the incomplete gamma, incomplete
// beta and hypergeometric kernels. Errors carry argument index -1.

#include "numeric/core/complex.hpp"

namespace Oru {

// ln|Gamma(x)|; raises "overflow".
double realLogGamma(double x);
// Gamma(x); raises "overflow" and "singularity".
double realGamma(double x);

}  // namespace Oru
