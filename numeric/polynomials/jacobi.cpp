#include "numeric/polynomials/jacobi.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"
#include "numeric/polynomials/recurrence.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// The degree has its own test: only the 1e-10 tolerance around
// floor(a + 0.1), so 1e-12 is degree 0 and 0.99999999999 degree 1. A NaN
// would slip past every comparison, so it is rejected explicitly; an
// infinity fails the sign or the range test. Returns the accepted degree.
int checkedJacobiDegree(const tabulComplex& a) {
    if (a.im != 0.0) Throw("must be real", 1);
    if (std::isnan(a.re) || std::fabs(a.re - exactFloor(a.re + 0.1)) > 1e-10) Throw("must be integer", 1);
    if (a.re < 0) Throw("must be non-negative integer", 1);
    if (a.re > 2147483647.0) Throw("integer too large", 1);
    // a.re now lies in [0, 2147483647], so the conversion is defined.
    return static_cast<int>(exactFloor(a.re + 0.1));
}

void checkParameter(const tabulComplex& p, unsigned argIndex) {
    if (p.im != 0.0) Throw("must be real", argIndex);
    if (p.re <= -1) Throw("must be >\t-1", argIndex);
}

}  // namespace

namespace {

// alpha + 1 and beta + 1 below this (their sum below twice it) make the
// quantities k + alpha - 1, k + beta - 1, k + alpha + beta and
// 2k + alpha + beta - 2 at k = 2 small numbers formed from rounded sums,
// whose relative error the recurrence then carries into every value.
constexpr double kNearMinusOne = 0x1p-4;

// The same recurrence with those quantities formed from a = alpha + 1 and
// b = beta + 1 (exact for alpha, beta in (-1, -1/2]) and their sum s, so that
// each keeps its relative precision: t = 2k - 2 + s, u = 2k - 4 + s,
// t - k = k - 2 + s, k + alpha - 1 = k - 2 + a, k + beta - 1 = k - 2 + b,
// alpha^2 - beta^2 = (a - b)(s - 2), P1 = ((a - b) + s x) / 2.
double nearMinusOneRecurrence(int n, double alpha, double beta, double x) {
    const double a = alpha + 1.0, b = beta + 1.0, s = a + b;
    const double p1 = ((a - b) + s * x) * 0.5;
    if (n < 2) return (n == 0) ? 1.0 : p1;
    const double l = (a - b) * (s - 2.0);
    return threeTermRecurrence(
        1.0, p1, n, true, Growth::Oscillating, [a, b, s, x, l](std::int64_t k, auto previous, auto current) {
            const double kd = static_cast<double>(k);
            const double below = static_cast<double>(k - 2);
            const double t = static_cast<double>(2 * k - 2) + s;
            const double u = static_cast<double>(2 * k - 4) + s;
            const auto A = (l + x * (u * t)) * (static_cast<double>(2 * k - 3) + s) * current * 0.5;
            const auto B = (below + a) * (below + b) * previous * t;
            return (A - B) / ((below + s) * kd * u);
        });
}

}  // namespace

double jacobiRecurrence(int n, double alpha, double beta, double x) {
    if (alpha + 1.0 < kNearMinusOne && beta + 1.0 < kNearMinusOne)
        return nearMinusOneRecurrence(n, alpha, beta, x);
    const double p1 = ((x * (alpha + beta + 2.0) + alpha) - beta) * 0.5;
    if (n < 2) return (n == 0) ? 1.0 : p1;
    const double l = alpha * alpha - beta * beta;
    // The early end at a NaN needs one NaN pattern: at most one NaN among
    // alpha, beta and x.
    const bool oneNaNPattern = std::isnan(alpha) + std::isnan(beta) + std::isnan(x) <= 1;
    // 2k P(k) (k + alpha + beta) u = (t - 1) (t u x + l) P(k-1)
    //                               - 2 (k + alpha - 1)(k + beta - 1) t P(k-2),
    // with t = 2k + alpha + beta and u = t - 2, halved throughout. 2k is
    // formed in 64 bits: it exceeds the 32-bit range for k above 2^30. The
    // products A and B can pass the range while P(k) stays inside it.
    return threeTermRecurrence(1.0, p1, n, oneNaNPattern, Growth::Oscillating,
                               [alpha, beta, x, l](std::int64_t k, auto previous, auto current) {
                                   const double kd = static_cast<double>(k);
                                   const double t = static_cast<double>(2 * k) + alpha + beta;
                                   const double u = t - 2.0;
                                   const auto A = (l + x * (u * t)) * (t - 1.0) * current * 0.5;
                                   const auto B = (kd + alpha - 1.0) * (kd + beta - 1.0) * previous * t;
                                   return (A - B) / ((t - kd) * kd * u);
                               });
}

void tabulJac(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& c,
              const tabulComplex& d) {
    const int n = checkedJacobiDegree(a);
    checkParameter(b, 2);
    checkParameter(c, 3);
    if (d.im != 0.0) Throw("must be real", 4);
    res.re = jacobiRecurrence(n, b.re, c.re, d.re);
    res.im = 0.0;
}

}  // namespace Oru
