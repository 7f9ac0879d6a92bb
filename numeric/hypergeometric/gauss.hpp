#pragma once

// The Gauss hypergeometric function 2F1(a, b; c; x) for real a, b, c and
// -1 < x < 1.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulFhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& c,
                 const tabulComplex& x);

// Chooses a closed form, the series, Euler's or Pfaff's transformation or
// the connection to 1 - x (with its logarithmic form when c - a - b is an
// integer) from the position of x and the integer properties of the
// parameters. Errors carry index -1.
tabulComplex gaussHypergeometric(double a, double b, double c, double x);

// The hypergeometric series in x summed until a term no longer changes the
// sum, at most 1000 terms; raises "not converging" if it has not settled.
double gaussSeries(double a, double b, double c, double x);

}  // namespace Oru
