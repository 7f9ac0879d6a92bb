#pragma once

// The Gauss hypergeometric function by methods that bound their own rounding
// error: for the points where the plain evaluation of gauss.cpp cannot vouch
// for its result.

namespace Oru {

// 2F1(a, b; c; x) for real a, b, c and -1 < x < 1, c not a non-positive
// integer unless a or b ends the series before it. Several equivalent forms
// of the function (the series at x, at x/(x - 1) or at 1 - x, with their
// factors) are summed in double-double arithmetic while the largest term is
// tracked; the form whose rounding error bound is smallest answers.
// Raises "overflow" for a value beyond the double range and "not converging"
// when no form reaches about twelve correct digits. Errors carry index -1.
double carefulGauss(double a, double b, double c, double x);

}  // namespace Oru
