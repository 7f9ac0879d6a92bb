#pragma once

// Real gamma and log-gamma helpers shared by the incomplete gamma, incomplete
// beta and hypergeometric kernels. Errors carry argument index -1.

#include "numeric/core/complex.hpp"

namespace Oru {

// ln|Gamma(x)|; stores 0.0 into result first. Raises "overflow".
void realLogGamma(double x, double& result);
// Gamma(x); raises "overflow" and "singularity".
double realGamma(double x);
void realGamma(double x, double& result);
// Stirling's approximation of Gamma(x), for x > 33.
double stirlingGamma(double x);

}  // namespace Oru
