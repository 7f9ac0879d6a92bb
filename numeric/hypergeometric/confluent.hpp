#pragma once

// Kummer's confluent hypergeometric function 1F1(a; b; x) for real arguments.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulMhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& x);

// A summed series with an estimate of its error.
struct SeriesValue {
    double sum;
    double err;
};

// M(a, b, x): the power series or the asymptotic expansion, whichever
// carries the smaller estimated relative error, where what they found shows
// the result accurate; otherwise the extended-precision evaluation.
double confluentHypergeometric(double a, double b, double x);

// Which of the two answers M(a, b, x).
enum class ConfluentMethod { SeriesOrExpansion, Extended };
ConfluentMethod confluentMethod(double a, double b, double x);

// The power series with an estimate of its relative error from roundoff and
// cancellation. Raises "overflow" (index -1) when it gives up after 200
// terms; a series about to exceed the double range stops with err = 1.
SeriesValue confluentPowerSeries(double a, double b, double x);

// The expansion for large |x| from two 2F0 series and their Gamma-function
// prefactors, with a relative error estimate.
SeriesValue confluentAsymptotic(double a, double b, double x);

// The divergent series 2F0(a, b; ; x) summed as far as its smallest term;
// when it diverges, the pending term is scaled by the converging factor of
// `type` (1 or 2; any other value: none). err is an absolute estimate.
SeriesValue hypergeometric2F0(double a, double b, double x, int type);

}  // namespace Oru
