#include "numeric/core/integer.hpp"

#include <cmath>
#include <cstdint>

#include "oru/utility.hpp"

namespace Oru {

namespace {

// floor(v) for |v| below 2^32, where the conversion to a 64-bit integer is
// defined and exact after truncation toward zero; the same value as
// std::floor (a zero may come back as +0.0 where floor keeps -0.0, which
// only ever meets a subtraction from a non-zero value or a comparison with
// zero below). The degree checks run on every call of the polynomials, and
// without SSE4.1 std::floor is a library call.
double floorBelow2To32(double v) {
    const double t = static_cast<double>(static_cast<std::int64_t>(v));
    return t > v ? t - 1.0 : t;
}

}  // namespace

int checkInteger(double x) {
    if (x > 2147483647.0) return AboveInt32;
    if (x < -2147483648.0) return BelowInt32;
    // NaN fails both range tests; it is not an integer.
    if (std::isnan(x)) return NotInteger;
    // Every value strictly between -1 and 1 other than zero is rejected,
    // however close it lies to 0 or to +-1.
    if (std::fabs(x) < 1.0 && x != 0.0) return NotInteger;
    // |x + 0.1| < 2^31 + 1.
    if (std::fabs(x - floorBelow2To32(x + 0.1)) > 1e-10) return NotInteger;
    return IsInteger;
}

int acceptedInteger(double x) {
    // Accepted values lie in [-2147483648, 2147483647]; floor(x + 0.1) can
    // exceed the top only for x within 1e-10 below 2^31 - 1 + 0.9, which the
    // range test excludes, so the conversion is defined.
    return static_cast<int>(floorBelow2To32(x + 0.1));
}

int checkedDegreeAndPoint(const tabulComplex& a, const tabulComplex& b) {
    // checkInteger also rejects NaN and everything outside the 32-bit range,
    // so the degree taken below is a defined conversion.
    if (checkInteger(a.re) != IsInteger) Throw("must be integer", 1);
    if (a.im != 0.0) Throw("must be integer", 1);
    if (a.re < 0) Throw("must be non-negative integer", 1);
    if (b.im != 0.0) Throw("must be real", 2);
    return acceptedInteger(a.re);
}

}  // namespace Oru
