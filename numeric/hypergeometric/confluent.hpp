#pragma once

// Kummer's confluent hypergeometric function 1F1(a; b; x) for real arguments.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulMhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& x);

// The power series or the asymptotic expansion, whichever carries the
// smaller estimated relative error. Raises "overflow" (index -1) when the
// power series has not settled within 200 terms.
void confluentHypergeometric(double a, double b, double x, double& result);

// The power series with an estimate of its relative error from roundoff and
// cancellation. Returns null, or "overflow" when it gives up after 200
// terms; a series about to exceed the double range stops with err = 1.
const char* confluentPowerSeries(double a, double b, double x, double& err, double& sum);

// The expansion for large |x| from two 2F0 series and their Gamma-function
// prefactors, with a relative error estimate.
void confluentAsymptotic(double a, double b, double x, double& err, double& sum);

// The divergent series 2F0(a, b; ; x) summed as far as its smallest term;
// when it diverges, the pending term is scaled by the converging factor of
// `type` (1 or 2; any other value: none). err is an absolute estimate.
void hypergeometric2F0(double a, double b, double x, int type, double& err, double& sum);

}  // namespace Oru
