#pragma once

// Kelvin functions ber_n(x) and bei_n(x): the power series where its own
// error estimate proves it good, else the methods of kelvin_complex.hpp.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulBer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);
void tabulBei(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

// ber_n(x) and bei_n(x) as the kernels give them. Raise "overflow" for a
// value beyond the double range, "not converging" for a point that is not
// finite and where no method reaches the value (orders above 10000 with a
// value that does not underflow).
double kelvinBer(unsigned n, double x);
double kelvinBei(unsigned n, double x);

// The power series alone, summed four terms a pass until a pass changes the
// sum by less than 2^-52; "not converging" when the powers overflow and the
// sum turns into a NaN.
double kelvinBerSeries(unsigned n, double x);
double kelvinBeiSeries(unsigned n, double x);

}  // namespace Oru
