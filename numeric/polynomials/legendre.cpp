#include "numeric/polynomials/legendre.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"
#include "numeric/polynomials/recurrence.hpp"

namespace Oru {

namespace {

[[gnu::always_inline]] inline double legendreSteps(int n, double x) {
    if (n < 2) return (n == 1) ? x : 1.0;
    if (n == 2) return ((x * x) * 3.0 - 1.0) * 0.5;
    // Zero folds too, to -0.0; P_n(-x) = (-1)^n P_n(x) restores the sign.
    // Written without a branch: points of either sign are equally likely.
    const bool negative = x <= 0.0;
    const double y = negative ? -x : x;
    // With d = y P(k-1) - P(k-2), P(k) = (y P(k-1) + d) - d / k. At y = 1
    // every d is 0, so P_n(+-1) comes out exact. Values overflow only past
    // y = 1, where they grow with the degree.
    const double current = threeTermRecurrence(1.0, y, n, true, Growth::Monotone,
                                               [y](std::int64_t k, auto previous, auto current) {
                                                   const auto yP = y * current;
                                                   const auto d = yP - previous;
                                                   return (yP + d) - d / static_cast<double>(k);
                                               });
    return (negative && (n & 1) != 0) ? -current : current;
}

}  // namespace

double legendreRecurrence(int n, double x) {
    return legendreSteps(n, x);
}

void tabulLeg(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedDegreeAndPoint(a, b);
    res.re = legendreSteps(n, b.re);
    res.im = 0.0;
}

}  // namespace Oru
