#include "numeric/gamma/log_gamma_differences.hpp"

#include <cmath>
#include <cstddef>

namespace Oru {

namespace {

// 1/Gamma(z) = sum c_k z^k, an entire function whose Taylor coefficients fall
// faster than geometrically: c_1 = 1, c_2 = Euler's constant, and c_2 .. c_26
// below, which give 1/Gamma(1 + p) = (1/p) sum c_k p^k to the extended
// precision for |p| <= 1.
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

// Stirling's series w(z) = sum_k B_2k / (2k (2k - 1) z^(2k - 1)), k = 1..7;
// from z = 20 on the first omitted term is below 1e-21 of w(z).
constexpr long double kStirlingCoefficients[] = {
    1.0L / 12, -1.0L / 360, 1.0L / 1260, -1.0L / 1680, 1.0L / 1188, -691.0L / 360360, 1.0L / 156,
};

// Below it ln Gamma differences are shifted up by the recurrence.
constexpr double kStirlingFrom = 20.0;
// Below it in magnitude t - ln(1 + t) is summed as its series.
constexpr long double kSeriesBound = 0.25L;

// w(z + h) - w(z), term by term as z^-m ((1 + h/z)^-m - 1) = z^-m expm1(-m ln(1 + h/z)).
long double stirlingRemainderDifference(long double z, long double h) {
    const long double logRatio = std::log1p(h / z);
    const long double inverse = 1.0L / z;
    const long double inverseSquared = inverse * inverse;
    long double power = inverse;  // z^-m, m = 2k - 1
    long double sum = 0.0L;
    int m = 1;
    for (const long double c : kStirlingCoefficients) {
        sum += c * power * std::expm1(-m * logRatio);
        power *= inverseSquared;
        m += 2;
    }
    return sum;
}

}  // namespace

long double reciprocalGammaSlope(long double p) {
    constexpr std::size_t n = sizeof kReciprocalGammaTaylor / sizeof kReciprocalGammaTaylor[0];
    long double t = kReciprocalGammaTaylor[n - 1];
    for (std::size_t k = n - 1; k > 0; --k) t = t * p + kReciprocalGammaTaylor[k - 1];
    return t;
}

// t - ln(1 + t) = sum_(k >= 2) (-t)^k / k: for |t| < 1/4 the terms fall by
// at least 4 each and the difference t - ln(1 + t) would lose 1/|t| of its digits.
long double linearMinusLog1p(long double t) {
    if (std::fabs(t) >= kSeriesBound) return t - std::log1p(t);
    long double power = t * t;  // (-t)^k, k = 2
    long double sum = 0.0L;
    for (int k = 2; k < 64; ++k) {
        const long double next = sum + power / k;
        if (next == sum) break;
        sum = next;
        power = -power * t;
    }
    return sum;
}

long double logGammaOnePlus(long double p) {
    return -std::log1p(p * reciprocalGammaSlope(p));
}

long double stirlingRemainder(long double z) {
    const long double inverse = 1.0L / z;
    const long double inverseSquared = inverse * inverse;
    long double sum = 0.0L;
    for (std::size_t k = sizeof kStirlingCoefficients / sizeof kStirlingCoefficients[0]; k > 0; --k) {
        sum = sum * inverseSquared + kStirlingCoefficients[k - 1];
    }
    return sum * inverse;
}

// With ln Gamma(z) = (z - 1/2) ln z - z + ln(2 pi)/2 + w(z) at z = q and q + p,
//   ln Gamma(q + p) - ln Gamma(q) = (q - 1/2) ln(1 + p/q) + p (ln(q + p) - 1) + w(q + p) - w(q),
// after shifting q up to 20 by ln Gamma(q + 1) = ln Gamma(q) + ln q on both sides.
long double logGammaDifference(double q, double p) {
    long double z = q;
    long double shifted = 0.0L;  // sum of ln(1 + p/(q + k)) over the shift
    while (z < kStirlingFrom) {
        shifted += std::log1p(p / z);
        z += 1.0L;
    }
    const long double lp = p;
    const long double head = (z - 0.5L) * std::log1p(lp / z) + lp * (std::log(z + lp) - 1.0L);
    return head + stirlingRemainderDifference(z, lp) - shifted;
}

}  // namespace Oru
