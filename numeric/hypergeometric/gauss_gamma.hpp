#pragma once

// Quotients of Gamma values in double-double arithmetic (about 100 correct
// bits), for the connection formula of the Gauss function where its two
// parts cancel more than extended precision resolves.

#include <cmath>
#include <initializer_list>

#include "numeric/core/double_double.hpp"

namespace Oru {

// mantissa * 2^exponent, with a bound on its relative error (infinite: no
// value).
struct ScaledDoubleDouble {
    DoubleDouble mantissa;
    long exponent;
    long double error;
};

// prod Gamma(up) / prod Gamma(down) * e^extra for exact double-double
// arguments. No value where an argument lies at a pole of Gamma.
ScaledDoubleDouble gammaQuotientDoubleDouble(std::initializer_list<DoubleDouble> up,
                                             std::initializer_list<DoubleDouble> down,
                                             const DoubleDouble& extra);

// ln v for v > 0 and e^v as mantissa * 2^exponent, in double-double.
DoubleDouble logDoubleDouble(const DoubleDouble& v);
ScaledDoubleDouble expDoubleDouble(const DoubleDouble& v);

// p + q, each with its own scale, in extended precision; `error` receives the
// bound on the sum's relative error that the parts' errors make (the
// rounding of the sum itself not included).
long double sumOfScaled(const ScaledDoubleDouble& p, const ScaledDoubleDouble& q, long double& error);

// v * 2^e, exact unless it leaves the double range.
inline DoubleDouble scaledBy(const DoubleDouble& v, int e) {
    return {std::ldexp(v.hi, e), std::ldexp(v.lo, e)};
}

}  // namespace Oru
