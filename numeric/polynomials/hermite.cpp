#include "numeric/polynomials/hermite.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"
#include "oru/utility.hpp"

namespace Oru {

int checkedDegreeAndPoint(const tabulComplex& a, const tabulComplex& b) {
    // checkInteger also rejects NaN and everything outside the 32-bit range,
    // so the degree taken below is a defined conversion.
    if (checkInteger(a.re) != IsInteger) Throw("must be integer", 1);
    if (a.im != 0.0) Throw("must be integer", 1);
    if (a.re < 0) Throw("must be non-negative integer", 1);
    if (b.im != 0.0) Throw("must be real", 2);
    return acceptedInteger(a.re);
}

void hermiteRecurrence(double& out, unsigned n, double x) {
    if (n == 0) {
        out = 1.0;
        return;
    }
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
    out = current;
}

void tabulHer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    hermiteRecurrence(res.re, static_cast<unsigned>(n), b.re);
    res.im = 0.0;
}

}  // namespace Oru
