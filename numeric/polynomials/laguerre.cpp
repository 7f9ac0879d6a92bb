#include "numeric/polynomials/laguerre.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"
#include "numeric/polynomials/recurrence.hpp"

namespace Oru {

double laguerreRecurrence(int n, double x) {
    if (n < 2) return (n == 1) ? 1.0 - x : 1.0;
    // L(k) = (2 L(k-1) - L(k-2)) + (L(k-2) - L(k-1) - x L(k-1)) / k: the
    // correction to the linear extrapolation shrinks like 1/k. For x < 0 every
    // value is positive and grows with k; for x > 0 the values rise to about
    // e^x near k = x / 4 and fall back to about e^(x/2) beyond it.
    return threeTermRecurrence(1.0, 1.0 - x, n, true, x < 0.0 ? Growth::Monotone : Growth::Oscillating,
                               [x](std::int64_t k, auto previous, auto current) {
                                   const auto correction =
                                       (previous - current - x * current) / static_cast<double>(k);
                                   return (2.0 * current - previous) + correction;
                               });
}

void tabulLag(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = laguerreRecurrence(n, b.re);
    res.im = 0.0;
}

}  // namespace Oru
