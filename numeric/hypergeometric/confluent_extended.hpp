#pragma once

// Kummer's function M(a, b, x) in extended precision, with a running bound
// on the error of every step, for the arguments where the double-precision
// series and the asymptotic expansion cannot answer to full accuracy.

namespace Oru {

// The largest |x| the extended evaluation reaches with its series (its
// terms stay within the extended range): 11000.
inline constexpr double kExtendedLargestArgument = 11000.0;

// M(a, b, x) rounded to a double. Raises "singularity" (index -1) where M is
// undefined (b a non-positive integer that the series reaches), "overflow"
// where |M| is beyond the double range, and "not converging" where the error
// bound stays above a few units of a double (listed in the function page).
double confluentExtended(double a, double b, double x);

}  // namespace Oru
