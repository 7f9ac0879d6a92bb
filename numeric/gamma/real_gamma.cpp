#include "numeric/gamma/real_gamma.hpp"

#include <cmath>
#include <cstddef>
#include <limits>

#include "numeric/core/constants.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

// Tables, highest power first. Each literal is the stored double exactly;
// the decimal form is given beside it.

// ln Gamma(x) for x >= 13: correction in p = 1/x^2 to Stirling's formula.
constexpr double kLogGammaAsymptotic[] = {
    0x1.a985027336661p-11,   //  8.116141674705085e-4
    -0x1.37fbdb580e943p-11,  // -5.950619042843014e-4
    0x1.a019f20dc5ebbp-11,   //  7.936503404577169e-4
    -0x1.6c16c16b0a5a1p-9,   // -2.777777777300997e-3
    0x1.555555555554bp-4,    //  8.333333333333319e-2
};

// ln Gamma(2 + t) = t B(t) / C(t) on 0 <= t < 1, C monic.
constexpr double kLogGammaNumerator[] = {
    -0x1.589018ff36761p+10,  // -1378.2515256912086
    -0x1.2f234355bb93ep+15,  // -38801.631513463784
    -0x1.43d73f89089e5p+18,  // -331612.9927388712
    -0x1.1bc82f994db51p+20,  // -1162370.974927623
    -0x1.a45890219f20bp+20,  // -1721737.0082083966
    -0x1.a0c675418055ep+19,  // -853555.6642457654
};
constexpr double kLogGammaDenominator[] = {
    -0x1.5fd0d1cf312b2p+8,   // -351.81570143652345
    -0x1.0aa0d7b89d757p+14,  // -17064.210665188115
    -0x1.aeb84b9744c9bp+17,  // -220528.59055385445
    -0x1.1628671950043p+20,  // -1139334.4436798252
    -0x1.35255892ff34cp+21,  // -2532523.0717758294
    -0x1.ece4b6a11e14ap+20,  // -2018891.4143353277
};

// Gamma(2 + t) = P(t) / Q(t) on 0 <= t < 1.
constexpr double kGammaNumerator[] = {
    0x1.4fcb839982153p-13,  // 1.6011952247675185e-4
    0x1.384e3e686bfabp-10,  // 1.1913514700658638e-3
    0x1.557cde9db14b0p-7,   // 1.0421379756176158e-2
    0x1.863d918c423d3p-5,   // 4.763678004571372e-2
    0x1.a8da9dcae7d31p-3,   // 0.20744822764843598
    0x1.fa1373993e312p-2,   // 0.4942148268014971
    0x1.0000000000000p+0,   // 1.0
};
constexpr double kGammaDenominator[] = {
    -0x1.8487a8400d3afp-16,  // -2.3158187332412014e-5
    0x1.1ae8a29152573p-11,   //  5.396055804933034e-4
    -0x1.240e4e750b44ap-8,   // -4.456419138517973e-3
    0x1.831ed5b1bb117p-7,    //  1.1813978522206043e-2
    0x1.25779e33fde67p-5,    //  3.5823639860549865e-2
    -0x1.e071a9d4287c2p-3,   // -0.23459179571824335
    0x1.24944c9cd3c51p-4,    //  0.0714304917030273
    0x1.0000000000000p+0,    //  1.0
};

// Stirling's correction 1 + w S(w), w = 1/x. The last two entries are close
// to, but not exactly, 1/288 and 1/12.
constexpr double kStirlingCorrection[] = {
    0x1.9cc72592d7293p-11,   //  7.873113957930937e-4
    -0x1.e166b27e61d7cp-13,  // -2.2954996161337813e-4
    -0x1.5f72607d44fd7p-9,   // -2.6813261780578124e-3
    0x1.c71c71b98c5fdp-9,    //  3.4722222160545866e-3
    0x1.5555555555986p-4,    //  8.333333333334822e-2
};

// One unit in the last place (2^-53 in [1/2, 1)) above the nearest double to
// ln(2 pi) / 2.
constexpr double kHalfLogTwoPiAbove = kHalfLogTwoPi + 0x1p-53;  // 0.9189385332046728
constexpr double kSqrtTwoPi = 0x1.40d931ff62706p+1;             // 2.5066282746310007
// Above this point x^(x - 1/2) is taken as two halves so that it stays in range.
constexpr double kStirlingSplit = 143.01608;
// Below it Gamma(x) is taken as its pole term.
constexpr double kSmallArgument = 1e-9;

template <std::size_t N>
long double horner(const double (&c)[N], long double x) {
    long double sum = c[0];
    for (std::size_t k = 1; k < N; ++k) sum = sum * x + c[k];
    return sum;
}

// The same with an implicit leading coefficient 1.
template <std::size_t N>
long double monicHorner(const double (&c)[N], long double x) {
    long double sum = 1.0L;
    for (std::size_t k = 0; k < N; ++k) sum = sum * x + c[k];
    return sum;
}

[[noreturn]] void overflow() {
    Throw("overflow", kNoArgument);
}

// Stirling's formula, the product kept in extended precision.
long double stirlingGammaWide(double x) {
    const long double w = 1.0L / x;
    const double correction = static_cast<double>(1.0L + w * horner(kStirlingCorrection, w));
    const double y = static_cast<double>(std::exp(static_cast<long double>(x)));
    // e^x beyond the double range means Gamma(x) is far beyond it as well;
    // the quotient below would otherwise be inf/inf.
    if (std::isinf(y)) return std::numeric_limits<long double>::infinity();
    const long double lx = x;
    long double value;
    if (x > kStirlingSplit) {
        const long double v = std::pow(lx, 0.5L * lx - 0.25L);
        value = v * (v / y);
    } else {
        value = std::pow(lx, lx - 0.5L) / y;
    }
    return value * correction * kSqrtTwoPi;
}

// ln|Gamma(x)| in extended precision; raises "overflow" at the poles and at
// +inf. Finite for every other finite x: (x - 1/2) ln x stays far inside the
// extended range even at the largest double.
long double logAbsGamma(double x) {
    if (x < -34.0) {
        // Reflection: |Gamma(x)| = pi / (q |sin(pi z)| Gamma(q)), q = -x.
        const double q = -x;
        const double p = std::floor(q);
        if (p == q) overflow();
        long double z = q - p;
        if (z > 0.5L) z = (p + 1.0L) - q;
        const double s = static_cast<double>(q * std::sin(kPi * z));
        if (s == 0.0) overflow();
        const long double w = logAbsGamma(q);
        return std::log(static_cast<long double>(kPi)) - std::log(static_cast<long double>(s)) - w;
    }
    if (x < 13.0) {
        // Recurrence into [2, 3): Gamma(x) = z Gamma(u).
        long double u = x;
        long double z = 1.0L;
        while (u >= 3.0L) {
            u = u - 1.0L;
            z = z * u;
        }
        while (u < 2.0L) {
            if (u == 0.0L) overflow();
            z = z / u;
            u = u + 1.0L;
        }
        if (z < 0.0L) z = -z;
        if (u == 2.0L) return std::log(z);
        const long double t = u - 2.0L;
        return std::log(z) + t * horner(kLogGammaNumerator, t) / monicHorner(kLogGammaDenominator, t);
    }
    // x >= 13, or NaN. Stirling's series: its first omitted term is below
    // 1/(1680 x^7), and the three-term form below is exact to the extended
    // precision from x = 1000 on, however large x is.
    if (std::isinf(x)) overflow();
    const long double lx = x;
    const long double q = (lx - 0.5L) * std::log(lx) - lx + kHalfLogTwoPiAbove;
    const double p = static_cast<double>(1.0L / (lx * lx));
    if (x >= 1000.0) {
        return q + ((0.0007936507936507937 * static_cast<long double>(p) - 0.002777777777777778) * p +
                    0.08333333333333333) /
                       lx;
    }
    return q + horner(kLogGammaAsymptotic, p) / lx;
}

// Gamma(x) in extended precision; raises "overflow" and "singularity".
long double gammaWide(double x) {
    const double q = std::fabs(x);
    if (q > 33.0) {
        if (!(x < 0.0)) return stirlingGammaWide(x);
        const double p = std::floor(q);
        if (p == q) overflow();
        // Gamma(x) = -pi / (q sin(pi z) Gamma(q)); the sign follows floor(q).
        const long double sign = (std::fmod(p, 2.0) == 0.0) ? -1.0L : 1.0L;
        long double z = q - p;
        if (z > 0.5L) z = q - (p + 1.0L);
        const long double s = q * std::sin(kPi * z);
        if (s == 0.0L) overflow();
        const long double value = kPi / (std::fabs(s) * stirlingGammaWide(q));
        return sign * value;
    }
    long double u = x;
    long double z = 1.0L;
    while (u >= 3.0L) {
        u = u - 1.0L;
        z = z * u;
    }
    while (u < 2.0L) {
        if (std::fabs(u) < kSmallArgument) {
            // Near a pole: Gamma(u) = 1 / (u (1 + gamma u)) to first order.
            if (u == 0.0L) Throw("singularity", kNoArgument);
            return z / ((1.0L + kEulerGamma * u) * u);
        }
        z = z / u;
        u = u + 1.0L;
    }
    if (u == 2.0L) return z;
    const double t = static_cast<double>(u - 2.0L);
    return z * horner(kGammaNumerator, t) / horner(kGammaDenominator, t);
}

}  // namespace

double realLogGamma(double x) {
    // ln Gamma(x) itself leaves the double range above x = 2.55e305.
    const double value = static_cast<double>(logAbsGamma(x));
    if (std::isinf(value)) overflow();
    return value;
}

double realGamma(double x) {
    return static_cast<double>(gammaWide(x));
}

}  // namespace Oru
