#include "numeric/polynomials/legendre.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"

namespace Oru {

double legendreRecurrence(int n, double x) {
    if (n < 2) return (n == 1) ? x : 1.0;
    if (n == 2) return ((x * x) * 3.0 - 1.0) * 0.5;
    // Zero folds too, to -0.0; P_n(-x) = (-1)^n P_n(x) restores the sign.
    double y = x;
    double sign = 1.0;
    if (x <= 0.0) {
        y = -x;
        sign = -1.0;
    }
    double previous = 1.0;
    double current = y;
    // With d = y P(k-1) - P(k-2), P(k) = (y P(k-1) + d) - d / k. At y = 1
    // every d is 0, so P_n(+-1) comes out exact.
    for (std::int64_t k = 2; k <= n; ++k) {
        const double yP = y * current;
        const double d = yP - previous;
        const double next = (yP + d) - d / static_cast<double>(k);
        previous = current;
        current = next;
        // From a NaN on, every later value is that same NaN: each step
        // passes the NaN of the newest value on, and all the NaNs the loop
        // can meet carry one bit pattern (the one invalid operations give, or
        // the point's own), so the remaining steps cannot change the result.
        // Past |x| = 1 the values overflow and then turn NaN, so a large
        // degree ends early there.
        if (std::isnan(current)) break;
    }
    return (sign == -1.0 && (n & 1) != 0) ? -current : current;
}

void tabulLeg(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = legendreRecurrence(n, b.re);
    res.im = 0.0;
}

}  // namespace Oru
