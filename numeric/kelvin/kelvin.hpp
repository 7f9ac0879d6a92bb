#pragma once

// Kelvin functions ber_n(x) and bei_n(x) by their power series.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulBer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);
void tabulBei(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

// The power series of ber_n(x) and bei_n(x), summed four terms a pass until
// a pass changes the sum by less than 2^-52. Raise "not converging" when the
// powers overflow and the sum turns into a NaN.
double kelvinBerSeries(unsigned n, double x);
double kelvinBeiSeries(unsigned n, double x);

}  // namespace Oru
