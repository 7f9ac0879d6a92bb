#include "numeric/gamma/small_order_upper_gamma.hpp"

#include <cmath>
#include <cstddef>

namespace Oru {

namespace {

// 1/Gamma(z) = sum c_k z^k, an entire function whose Taylor coefficients fall
// faster than geometrically: c_1 = 1, c_2 = Euler's constant, and c_2 .. c_26
// below, which give 1/Gamma(1 + a) = (1/a) sum c_k a^k to the extended
// precision for |a| <= 1.
constexpr double kReciprocalGammaTaylor[] = {
    0x1.2788cfc6fb619p-1,    //  0.5772156649015329
    -0x1.4fcf4026afa2ep-1,   // -0.6558780715202539
    -0x1.5815e8fa27048p-5,   // -0.04200263503409524
    0x1.5512320b43fbep-3,    //  0.16653861138229148
    -0x1.59af103c34092p-5,   // -0.04219773455554433
    -0x1.3b4af28483e21p-7,   // -0.009621971527876973
    0x1.d919c527f60b2p-8,    //  0.0072189432466631
    -0x1.317112ce3a2a8p-10,  // -0.0011651675918590652
    -0x1.c364fe6f1563dp-13,  // -0.00021524167411495098
    0x1.0c8a78cd9f9d2p-13,   //  1.280502823881162e-4
    -0x1.51ce8af47eabep-16,  // -2.013485478078824e-5
    -0x1.4fad41fc34fbbp-20,  // -1.2504934821426706e-6
    0x1.302509dbc0de3p-20,   //  1.133027231981696e-6
    -0x1.b9986666c225dp-23,  // -2.056338416977607e-7
    0x1.a44b7ba22d629p-28,   //  6.116095104481416e-9
    0x1.57bc3fc384334p-28,   //  5.002007644469223e-9
    -0x1.44b4cedca388fp-30,  // -1.18127457048702e-9
    0x1.cae7675c18607p-34,   //  1.0434267116911005e-10
    0x1.11d065bfaf067p-37,   //  7.782263439905071e-12
    -0x1.0423bac8ca3fbp-38,  // -3.696805618642206e-12
    0x1.1f20151323cd0p-41,   //  5.100370287454476e-13
    -0x1.72cb88ea5ae6ep-46,  // -2.0583260535665066e-14
    -0x1.815f72a05f16fp-48,  // -5.348122539423018e-15
    0x1.6198491a83bcdp-50,   //  1.2267786282382608e-15
    -0x1.10613dde57a89p-53,  // -1.1812593016974588e-16
};

// (Gamma(1 + a) - 1) / a. With 1/Gamma(1 + a) = 1 + a t(a), t = sum c_(k+2) a^k,
// Gamma(1 + a) - 1 = -a t / (1 + a t): no difference of nearly equal values.
long double gammaOnePlusMinusOneOver(long double a) {
    constexpr std::size_t n = sizeof kReciprocalGammaTaylor / sizeof kReciprocalGammaTaylor[0];
    long double t = kReciprocalGammaTaylor[n - 1];
    for (std::size_t k = n - 1; k > 0; --k) t = t * a + kReciprocalGammaTaylor[k - 1];
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
