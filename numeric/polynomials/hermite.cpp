#include "numeric/polynomials/hermite.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"

namespace Oru {

double hermiteRecurrence(unsigned n, double x) {
    if (n == 0) return 1.0;
    double previous = 1.0;
    double current = x + x;
    // A 64-bit counter: k <= n ends for every unsigned n.
    for (std::uint64_t k = 2; k <= n; ++k) {
        const double kMinusOne = static_cast<double>(k) - 1.0;
        const double next = 2.0 * (x * current - kMinusOne * previous);
        previous = current;
        current = next;
        // From a NaN on, every later value is that same NaN: each step
        // passes the NaN of the newest value on, and all the NaNs the loop
        // can meet carry one bit pattern (the one invalid operations give, or
        // the point's own), so the remaining steps cannot change the result.
        // The values grow like sqrt(n!) for every x, overflow and then turn
        // NaN, so a large degree ends early.
        if (std::isnan(current)) break;
    }
    return current;
}

void tabulHer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = hermiteRecurrence(static_cast<unsigned>(n), b.re);
    res.im = 0.0;
}

}  // namespace Oru
