#include "numeric/hypergeometric/gauss_gamma.hpp"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

namespace Oru {

namespace {

constexpr DoubleDouble kLn2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr DoubleDouble kHalfLog2Pi{0x1.d67f1c864beb5p-1, -0x1.65b5a1b7ff5dfp-55};
// Rounding of one double-double operation, with a margin.
constexpr long double kRounding = 0x1p-104L;
// Stirling's series is used from here on; with ten terms its remainder is
// below 2^-108 there.
constexpr double kStirlingStart = 40.0;
// The lifting product is brought back near 1 above this.
constexpr double kRescaleAbove = 0x1p900;
// Below this the recurrence would take too long; no value.
constexpr double kLowestArgument = -4000.0;
// B_2k / (2k (2k - 1)) for k = 1 ... 10, as exact quotients of integers.
constexpr double kStirlingNumerators[] = {1, -1, 1, -1, 1, -691, 1, -3617, 43867, -174611};
constexpr double kStirlingDenominators[] = {12, 360, 1260, 1680, 1188, 360360, 156, 122400, 244188, 125400};
// e^r for |r| <= ln 2 / 2 is (e^(r/16))^16, the inner value by 14 terms of
// its Taylor series (remainder below 2^-110).
constexpr int kExpHalvings = 4;
constexpr int kExpTerms = 14;

DoubleDouble times(const DoubleDouble& v, double d) {
    return v * DoubleDouble(d);
}

bool isPole(const DoubleDouble& z) {
    return z.hi <= 0.0 && z.lo == 0.0 && z.hi == std::floor(z.hi);
}

// Stirling's series for w >= kStirlingStart:
// (w - 1/2) ln w - w + ln(2 pi)/2 + sum_k B_2k / (2k (2k - 1) w^(2k-1)).
DoubleDouble stirling(const DoubleDouble& w) {
    const DoubleDouble inverse = DoubleDouble(1.0) / w;
    const DoubleDouble inverseSquare = inverse * inverse;
    constexpr int count = sizeof(kStirlingNumerators) / sizeof(kStirlingNumerators[0]);
    DoubleDouble series;
    static const auto coefficients = [] {
        std::array<DoubleDouble, count> table{};
        for (int k = 0; k < count; ++k) {
            table[k] = DoubleDouble(kStirlingNumerators[k]) / DoubleDouble(kStirlingDenominators[k]);
        }
        return table;
    }();
    for (int k = count - 1; k >= 0; --k) series = coefficients[k] + inverseSquare * series;
    return (w - DoubleDouble(0.5)) * logDoubleDouble(w) - w + kHalfLog2Pi + series * inverse;
}

// A product kept as mantissa * 2^exponent, the mantissa brought back near 1
// whenever it grows beyond kRescaleAbove.
struct ScaledProduct {
    DoubleDouble mantissa{1.0};
    long exponent = 0;

    void rescale() {
        if (std::fabs(mantissa.hi) > kRescaleAbove) {
            int shift = 0;
            std::frexp(mantissa.hi, &shift);
            mantissa = scaledBy(mantissa, -shift);
            exponent += shift;
        }
    }
};

// The terms of the logarithm of a quotient of Gamma values: the sum of
// Stirling's series at the lifted arguments, and the lifting products of
// the numerator's and the denominator's Gamma values, whose logarithms are
// taken once for the whole quotient.
struct LogGammaSum {
    DoubleDouble stirlingSum;
    ScaledProduct up;
    ScaledProduct down;
    int sign = 1;
    long double size = 0.0L;
    bool pole = false;
};

// Adds ln |Gamma(z)| (or subtracts it, for `inDenominator`): Gamma(z) =
// Gamma(z + n) / (z (z + 1) ... (z + n - 1)) lifts z to kStirlingStart.
void addLogGamma(LogGammaSum& sum, const DoubleDouble& z, bool inDenominator) {
    if (isPole(z) || !(z.hi >= kLowestArgument)) {
        sum.pole = true;
        return;
    }
    // The lifting product divides Gamma(z + n): it joins the other side.
    ScaledProduct& product = inDenominator ? sum.up : sum.down;
    DoubleDouble w = z;
    int lifts = 0;
    while (w.hi < kStirlingStart) {
        product.mantissa = product.mantissa * w;
        if (product.mantissa.hi < 0.0) {
            product.mantissa = -product.mantissa;
            sum.sign = -sum.sign;
        }
        product.rescale();
        w = w + DoubleDouble(1.0);
        ++lifts;
    }
    const DoubleDouble series = stirling(w);
    sum.stirlingSum = inDenominator ? sum.stirlingSum - series : sum.stirlingSum + series;
    sum.size += std::fabs(static_cast<long double>(w.hi) * std::log(w.hi)) + lifts + 16.0L;
}

}  // namespace

ScaledDoubleDouble expDoubleDouble(const DoubleDouble& v) {
    // Beyond e^(2^20) (or for a NaN) no quotient or power of the forms can
    // come back into range: no value, and an error that rejects it. The
    // bound also keeps k and the exponent well inside the integer types.
    if (!(std::fabs(v.hi) <= 0x1p20)) return {DoubleDouble(NAN), 0, HUGE_VALL};
    const double k = std::nearbyint(v.hi / kLn2.hi);
    const DoubleDouble r = scaledBy(v - times(kLn2, k), -kExpHalvings);
    // 1/i in double-double, formed once.
    static const auto inverses = [] {
        std::array<DoubleDouble, kExpTerms + 1> table{};
        for (int i = 1; i <= kExpTerms; ++i)
            table[i] = DoubleDouble(1.0) / DoubleDouble(static_cast<double>(i));
        return table;
    }();
    DoubleDouble p(1.0);
    for (int i = kExpTerms; i >= 1; --i) p = DoubleDouble(1.0) + r * p * inverses[i];
    for (int i = 0; i < kExpHalvings; ++i) p = p * p;
    const long double error = kRounding * (64.0L + std::fabs(k));
    return {p, static_cast<long>(k), error};
}

DoubleDouble logDoubleDouble(const DoubleDouble& v) {
    // Only for positive finite v (a product that underflowed or overflowed
    // gives NaN, which every bound downstream rejects).
    if (!(v.hi > 0.0 && v.hi <= DBL_MAX)) return DoubleDouble(NAN);
    // One Newton step y + v e^-y - 1 from the double logarithm doubles its
    // correct bits.
    const DoubleDouble y(std::log(v.hi));
    const ScaledDoubleDouble e = expDoubleDouble(-y);
    return y + scaledBy(v * e.mantissa, static_cast<int>(e.exponent)) - DoubleDouble(1.0);
}

ScaledDoubleDouble gammaQuotientDoubleDouble(std::initializer_list<DoubleDouble> up,
                                             std::initializer_list<DoubleDouble> down,
                                             const DoubleDouble& extra) {
    LogGammaSum sum;
    for (const DoubleDouble& v : up) addLogGamma(sum, v, false);
    for (const DoubleDouble& v : down) addLogGamma(sum, v, true);
    if (sum.pole) return {DoubleDouble(), 0, HUGE_VALL};
    const DoubleDouble products = sum.up.mantissa / sum.down.mantissa;
    const long exponent = sum.up.exponent - sum.down.exponent;
    const DoubleDouble log =
        extra + sum.stirlingSum + logDoubleDouble(products) + times(kLn2, static_cast<double>(exponent));
    const long double error =
        kRounding * (1.0L + std::fabs(extra.hi) + sum.size + std::fabs(static_cast<long double>(exponent)));
    if (!(error < 1.0L)) return {DoubleDouble(), 0, HUGE_VALL};
    ScaledDoubleDouble e = expDoubleDouble(log);
    if (sum.sign < 0) e.mantissa = -e.mantissa;
    e.error += error;
    return e;
}

long double sumOfScaled(const ScaledDoubleDouble& p, const ScaledDoubleDouble& q, long double& error) {
    const long exponent = std::max(p.exponent, q.exponent);
    const auto aligned = [exponent](const ScaledDoubleDouble& part) {
        return scaledBy(part.mantissa, static_cast<int>(std::max(part.exponent - exponent, -2000L)));
    };
    const DoubleDouble p1 = aligned(p);
    const DoubleDouble p2 = aligned(q);
    const DoubleDouble total = p1 + p2;
    const long double absoluteError =
        std::fabs(toLongDouble(p1)) * p.error + std::fabs(toLongDouble(p2)) * q.error;
    error = absoluteError / std::fabs(toLongDouble(total));
    return std::ldexp(toLongDouble(total), static_cast<int>(std::clamp(exponent, -20000L, 20000L)));
}

}  // namespace Oru
