#include "numeric/gamma/small_order_upper_gamma.hpp"

#include <cmath>

#include "numeric/gamma/log_gamma_differences.hpp"

namespace Oru {

namespace {

// (Gamma(1 + a) - 1) / a. With 1/Gamma(1 + a) = 1 + a t(a),
// Gamma(1 + a) - 1 = -a t / (1 + a t): no difference of nearly equal values.
long double gammaOnePlusMinusOneOver(long double a) {
    const long double t = reciprocalGammaSlope(a);
    return -t / (1.0L + a * t);
}

// sum_(n >= 1) (-x)^n / (n! (a + n)); for x <= 1 the terms fall faster than
// 1/n! and the sum stops where a term no longer changes it.
long double alternatingTail(long double a, long double x) {
    long double power = 1.0L;  // (-x)^n / n!
    long double sum = 0.0L;
    for (int n = 1; n < 64; ++n) {
        power = -power * x / n;
        const long double term = power / (a + n);
        const long double next = sum + term;
        if (next == sum) break;
        sum = next;
    }
    return sum;
}

}  // namespace

// Gamma(a, x) = Gamma(a) - gamma(a, x), with
//   gamma(a, x) = x^a / a + x^a sum_(n >= 1) (-x)^n / (n! (a + n))
// and Gamma(a) = Gamma(1 + a) / a, so that
//   Gamma(a, x) = [(Gamma(1 + a) - 1) - (x^a - 1)] / a - x^a sum_(n >= 1) ...
// Both brackets are formed without cancellation, (Gamma(1 + a) - 1) / a from
// the series of 1/Gamma and (x^a - 1) / a = expm1(a ln x) / a.
double upperGammaSmallOrder(double a, double x) {
    const long double la = a;
    const long double logX = std::log(static_cast<long double>(x));
    const long double powerMinusOne = std::expm1(la * logX);
    const long double head = gammaOnePlusMinusOneOver(la) - powerMinusOne / la;
    return static_cast<double>(head - (1.0L + powerMinusOne) * alternatingTail(la, x));
}

}  // namespace Oru
