#pragma once

// The shared integer test of the kernels that take integer degrees and
// orders, and the argument checks built on it.

#include <cmath>
#include <cstdint>

#include "numeric/core/complex.hpp"

namespace Oru {

// floor(v) for every double without a library call (without SSE4.1 std::floor
// is one): values of magnitude 2^52 and beyond, infinities and NaN are their
// own floor; below that the conversion to 64 bits, defined there, truncates
// toward zero and one step down corrects a negative non-integer. The same
// value as std::floor, except that a zero comes back as +0.0 where floor
// keeps -0.0.
inline double exactFloor(double v) {
    if (!(std::fabs(v) < 0x1p52)) return v;
    const double t = static_cast<double>(static_cast<std::int64_t>(v));
    return t > v ? t - 1.0 : t;
}

enum IntegerClass : int {
    IsInteger = 0,   // within 1e-10 of floor(x + 0.1)
    NotInteger = 1,  // also every x with 0 < |x| < 1, and NaN
    AboveInt32 = 2,  // x > 2147483647
    BelowInt32 = 3,  // x < -2147483648
};

int checkInteger(double x);

// The integer a kernel takes once checkInteger(x) has accepted x:
// floor(x + 0.1), so a value just below an integer gives that integer.
// Only call it for accepted x (it is then inside the 32-bit range).
int acceptedInteger(double x);

// The argument checks of the kernels whose first argument is a non-negative
// integer (degree or order) and whose second is a real point: Hermite,
// Laguerre, Legendre, ber and bei. A complex degree is reported as "must be
// integer", not "must be real". Returns the accepted degree.
int checkedDegreeAndPoint(const tabulComplex& a, const tabulComplex& b);

}  // namespace Oru
