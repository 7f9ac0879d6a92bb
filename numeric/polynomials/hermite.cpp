#include "numeric/polynomials/hermite.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"
#include "numeric/polynomials/recurrence.hpp"

namespace Oru {

double hermiteRecurrence(unsigned n, double x) {
    if (n == 0) return 1.0;
    // The values grow like sqrt(n!) for every x but oscillate in sign inside
    // |x| < sqrt(2n), where a value on the way can be far above the last.
    return threeTermRecurrence(1.0, x + x, n, true, Growth::Oscillating,
                               [x](std::int64_t k, auto previous, auto current) {
                                   const double kMinusOne = static_cast<double>(k) - 1.0;
                                   return 2.0 * (x * current - kMinusOne * previous);
                               });
}

void tabulHer(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = hermiteRecurrence(static_cast<unsigned>(n), b.re);
    res.im = 0.0;
}

}  // namespace Oru
