#include "numeric/polynomials/chebyshev.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"
#include "numeric/polynomials/recurrence.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// Both kinds share P(k+1) = 2 y P(k) - P(k-1) on y = |x| and differ only in
// P1 (y or 2y). The parity rule P_n(-x) = (-1)^n P_n(x) restores the sign,
// so the result for -x is exactly (-1)^n times the result for x.
double chebyshevRecurrence(unsigned n, double x, double firstKindFactor) {
    double sign = 1.0;
    double y = x;
    if (x < 0.0) {
        y = -x;
        sign = -1.0;
    }
    if (n == 0) return 1.0;
    if (n == 1) return firstKindFactor * (sign * y);
    // Values overflow only past y = 1, where they grow with the degree.
    const double current = threeTermRecurrence(
        1.0, firstKindFactor * y, n, true, Growth::Monotone,
        [y](std::int64_t, auto previous, auto current) { return 2.0 * (y * current) - previous; });
    return (sign == -1.0 && (n & 1u) != 0) ? -current : current;
}

// The checks both kernels make, degree first; returns the degree.
int checkedChebyshevDegree(const tabulComplex& a, const tabulComplex& b) {
    if (a.im != 0.0) Throw("must be real", 1);
    if (checkInteger(a.re) != IsInteger) Throw("must be integer", 1);
    const int n = acceptedInteger(a.re);
    if (n < 0) Throw("must be non-negative integer", 1);
    if (b.im != 0.0) Throw("must be real", 2);
    return n;
}

}  // namespace

double tchebRecurrence(unsigned n, double x) {
    return chebyshevRecurrence(n, x, 1.0);
}

double uchebRecurrence(unsigned n, double x) {
    return chebyshevRecurrence(n, x, 2.0);
}

void tabulTcheb(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedChebyshevDegree(a, b);
    const double x = b.re;
    const bool odd = (n & 1) != 0;
    if (n == 0 || x == 1.0) {
        res.re = 1.0;
    } else if (x == -1.0) {
        res.re = odd ? -1.0 : 1.0;
    } else {
        res.re = tchebRecurrence(static_cast<unsigned>(n), x);
    }
    res.im = 0.0;
}

void tabulUcheb(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedChebyshevDegree(a, b);
    const double x = b.re;
    const bool odd = (n & 1) != 0;
    // n + 1 formed in double: n may be 2^31 - 1.
    const double atOne = static_cast<double>(n) + 1.0;
    if (n == 0) {
        res.re = 1.0;
    } else if (x == 1.0) {
        res.re = atOne;
    } else if (x == -1.0) {
        res.re = odd ? -atOne : atOne;
    } else {
        res.re = uchebRecurrence(static_cast<unsigned>(n), x);
    }
    res.im = 0.0;
}

}  // namespace Oru
