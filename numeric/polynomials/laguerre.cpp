#include "numeric/polynomials/laguerre.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"

namespace Oru {

double laguerreRecurrence(int n, double x) {
    if (n < 2) return (n == 1) ? 1.0 - x : 1.0;
    double previous = 1.0;
    double current = 1.0 - x;
    // L(k) = (2 L(k-1) - L(k-2)) + (L(k-2) - L(k-1) - x L(k-1)) / k: the
    // correction to the linear extrapolation shrinks like 1/k.
    for (std::int64_t k = 2; k <= n; ++k) {
        const double correction = (previous - current - x * current) / static_cast<double>(k);
        const double next = (2.0 * current - previous) + correction;
        previous = current;
        current = next;
        // From a NaN on, every later value is that same NaN: each step
        // passes the NaN of the newest value on, and all the NaNs the loop
        // can meet carry one bit pattern (the one invalid operations give, or
        // the point's own), so the remaining steps cannot change the result.
        // For x < 0 the values overflow and then turn NaN, so a large
        // degree ends early there.
        if (std::isnan(current)) break;
    }
    return current;
}

void tabulLag(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = laguerreRecurrence(n, b.re);
    res.im = 0.0;
}

}  // namespace Oru
