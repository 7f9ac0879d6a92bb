#pragma once

// Chebyshev polynomials of the first and second kind, T_n(x) and U_n(x),
// of a real point by the three-term recurrence on |x|.

#include "numeric/core/complex.hpp"

namespace Oru {

void tabulTcheb(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);
void tabulUcheb(tabulComplex& res, const tabulComplex& a, const tabulComplex& b);

double tchebRecurrence(unsigned n, double x);
double uchebRecurrence(unsigned n, double x);

}  // namespace Oru
