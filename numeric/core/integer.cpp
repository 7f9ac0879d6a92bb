#include "numeric/core/integer.hpp"

#include <cmath>
#include <cstdint>

#include "oru/utility.hpp"

namespace Oru {

int checkInteger(double x) {
    if (x > 2147483647.0) return AboveInt32;
    if (x < -2147483648.0) return BelowInt32;
    // NaN fails both range tests; it is not an integer.
    if (std::isnan(x)) return NotInteger;
    // Every value strictly between -1 and 1 other than zero is rejected,
    // however close it lies to 0 or to +-1.
    if (std::fabs(x) < 1.0 && x != 0.0) return NotInteger;
    if (std::fabs(x - exactFloor(x + 0.1)) > 1e-10) return NotInteger;
    return IsInteger;
}

int acceptedInteger(double x) {
    // Accepted values lie in [-2147483648, 2147483647]; floor(x + 0.1) can
    // exceed the top only for x within 1e-10 below 2^31 - 1 + 0.9, which the
    // range test excludes, so the conversion is defined.
    return static_cast<int>(exactFloor(x + 0.1));
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
