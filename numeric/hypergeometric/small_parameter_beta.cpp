#include "numeric/hypergeometric/small_parameter_beta.hpp"

#include <cmath>

#include "numeric/gamma/log_gamma_differences.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// The series below has terms falling at least like max(q s, s)^n / n; its
// cap is never reached where it is used (s (q + 2) <= 2 and s <= 1/2).
constexpr int kTermLimit = 400;

// F - 1 = p sum_(n >= 1) (1 - q)_n s^n / ((p + n) n!), where
// F = 2F1(p, 1 - q; p + 1; s) = 1 + sum_(n >= 1) (p)_n (1 - q)_n / ((p + 1)_n n!) s^n.
long double hypergeometricTail(long double p, long double q, long double s) {
    long double power = 1.0L;  // (1 - q)_n s^n / n!
    long double sum = 0.0L;
    for (int n = 1; n < kTermLimit; ++n) {
        power = power * (n - q) * s / n;
        const long double next = sum + power / (p + n);
        if (next == sum) break;
        sum = next;
    }
    return p * sum;
}

}  // namespace

// I_s(p, q) = s^p F / G, G = p B(p, q) = Gamma(1 + p) Gamma(q) / Gamma(p + q),
// with ln G = ln Gamma(1 + p) - [ln Gamma(q + p) - ln Gamma(q)], both small
// for a small p. Its complement, near 1, without the difference 1 - I_s:
//   1 - I_s(p, q) = [(G - 1) - (s^p - 1) - s^p (F - 1)] / G,
// where G - 1 = expm1(ln G) and s^p - 1 = expm1(p ln s).
double smallParameterBeta(double p, double q, double s, bool complement) {
    const long double lp = p;
    const long double logG = logGammaOnePlus(lp) - logGammaDifference(q, p);
    const long double logPower = lp * std::log(static_cast<long double>(s));
    const long double tail = hypergeometricTail(lp, q, s);
    if (!complement) return static_cast<double>(std::exp(logPower - logG) * (1.0L + tail));
    const long double powerMinusOne = std::expm1(logPower);
    const long double gMinusOne = std::expm1(logG);
    return static_cast<double>(((gMinusOne - powerMinusOne) - (1.0L + powerMinusOne) * tail) /
                               (1.0L + gMinusOne));
}

}  // namespace Oru
