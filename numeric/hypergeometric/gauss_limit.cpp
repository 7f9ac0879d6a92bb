#include "numeric/hypergeometric/gauss_limit.hpp"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

#include "numeric/core/constants.hpp"
#include "numeric/hypergeometric/gauss_gamma.hpp"

namespace Oru {

namespace {

constexpr WideSeriesSum kNoSum{0.0L, HUGE_VALL};
// Rounding of one double-double operation, with a margin.
constexpr long double kRounding = 0x1p-100L;
// The bound on the relative error of psi' and psi'' in extended precision
// (rounding over a few thousand terms, and the truncation of their series).
constexpr long double kDerivativeError = 0x1p-52L;
// The form is used for |e| up to this; Taylor's formula in e with three
// terms then gives the mean digamma values to about 2^-75.
constexpr double kLargestOffset = 0x1p-30;
// No digamma value is taken closer than this to a pole.
constexpr long double kLeastPoleGap = 0x1p-10L;
// Below this the recurrence of the digamma function would take too long.
constexpr double kLowestArgument = -4000.0;
// The digamma function's asymptotic series is used from here on.
constexpr double kAsymptoticStart = 24.0;
// B_2k / (2k) for k = 1 ... 8, as exact quotients of integers; with these
// terms the series' remainder is below 2^-80 from kAsymptoticStart on.
constexpr double kDigammaNumerators[] = {1, -1, 1, -1, 1, -691, 1, -3617};
constexpr double kDigammaDenominators[] = {12, 120, 252, 240, 132, 32760, 12, 8160};
constexpr long double kDigammaTruncation = 0x1p-80L;
// psi(1) = -Euler's constant (to 2^-110), psi'(1) = pi^2/6 and psi''(1) =
// -2 zeta(3).
constexpr DoubleDouble kDigammaAtOne{-0x1.2788cfc6fb619p-1, 0x1.6cb90701fbfabp-58};
constexpr long double kTrigammaAtOne = 1.644934066848226436472415L;
constexpr long double kTetragammaAtOne = -2.0L * 1.202056903159594285399738L;
// A product or fraction is scaled down by 2^kRescaleStep beyond this.
constexpr double kRescaleAbove = 0x1p600;
constexpr int kRescaleStep = 600;
// Exponents e v are used up to this size; expm1(y) / y then takes 12 terms
// (remainder below 2^-120).
constexpr double kLargestExponent = 0x1p-8;
constexpr int kQuotientTerms = 12;
constexpr int kMaxTerms = 1500;

DoubleDouble fromLongDouble(long double v) {
    const double hi = static_cast<double>(v);
    return {hi, static_cast<double>(v - hi)};
}

long double magnitude(const DoubleDouble& v) {
    return std::fabs(toLongDouble(v));
}

// psi(z) - ln w in double-double with a bound on its absolute error (w the
// lifted argument, 1 where no logarithm remains: the caller takes the
// logarithms of its digamma values at once), and psi'(z), psi''(z) in
// extended precision (relative error below kDerivativeError, for psi''
// relative to `secondSize`).
struct Digamma {
    DoubleDouble lifted{1.0};
    DoubleDouble value;
    long double error = 0.0L;
    long double first = 0.0L;
    long double second = 0.0L;
    long double secondSize = 0.0L;
};

// The sums of 1/w, 1/w^2 and -2/w^3 over w = z, z + 1, ... below `end`, the
// first carried as one fraction (a division costs several products) scaled
// by powers of 2 before it overflows; w is left at the end of the steps.
Digamma reciprocalSums(DoubleDouble& w, double end) {
    DoubleDouble numerator;
    DoubleDouble denominator(1.0);
    Digamma d;
    long double size = 0.0L;
    int steps = 0;
    while (w.hi < end) {
        numerator = numerator * w + denominator;
        denominator = denominator * w;
        if (std::fabs(denominator.hi) > kRescaleAbove) {
            numerator = scaledBy(numerator, -kRescaleStep);
            denominator = scaledBy(denominator, -kRescaleStep);
        }
        const long double v = 1.0L / toLongDouble(w);
        size += std::fabs(v);
        d.first += v * v;
        d.second -= 2.0L * v * v * v;
        d.secondSize += std::fabs(2.0L * v * v * v);
        w = w + DoubleDouble(1.0);
        ++steps;
    }
    d.value = numerator / denominator;
    d.error = kRounding * (2.0L * steps + 8.0L) * (size + 1.0L);
    return d;
}

// psi(z) = psi(w) - sum_{j<n} 1/(z + j) for w = z + n >= kAsymptoticStart,
// where psi(w) = ln w - 1/(2w) - sum_k B_2k / (2k w^2k); the derivatives
// likewise.
Digamma digamma(const DoubleDouble& z) {
    static const auto coefficients = [] {
        std::array<DoubleDouble, std::size(kDigammaNumerators)> table{};
        for (std::size_t k = 0; k < table.size(); ++k) {
            table[k] = DoubleDouble(kDigammaNumerators[k]) / DoubleDouble(kDigammaDenominators[k]);
        }
        return table;
    }();
    DoubleDouble w = z;
    Digamma d = reciprocalSums(w, kAsymptoticStart);
    const DoubleDouble inverse = DoubleDouble(1.0) / w;
    const DoubleDouble inverseSquare = inverse * inverse;
    DoubleDouble series;
    for (std::size_t k = coefficients.size(); k-- > 0;) series = (coefficients[k] + series) * inverseSquare;
    d.lifted = w;
    d.value = -(DoubleDouble(0.5) * inverse + series + d.value);
    const long double u = 1.0L / toLongDouble(w);
    const long double u2 = u * u;
    d.first += u * (1.0L + u * (0.5L + u * (1.0L / 6 + u2 * (-1.0L / 30 + u2 * (1.0L / 42 - u2 / 30)))));
    d.second -= u2 * (1.0L + u * (1.0L + u * (0.5L + u2 * (-1.0L / 6 + u2 * (1.0L / 6 - 0.3L * u2)))));
    d.secondSize += 2.0L * u2;
    d.error += kDigammaTruncation;
    return d;
}

// psi(n) = psi(1) + sum_{k<n} 1/k for an integer n >= 1, its derivatives
// likewise; no logarithm remains.
Digamma digammaAtInteger(int n) {
    DoubleDouble w(1.0);
    Digamma d = reciprocalSums(w, n);
    d.value = kDigammaAtOne + d.value;
    d.first = kTrigammaAtOne - d.first;
    d.second = kTetragammaAtOne - d.second;
    d.secondSize -= kTetragammaAtOne;
    return d;
}

// The mean of the digamma function over [z, z + e], (ln Gamma(z + e) -
// ln Gamma(z)) / e, from psi at z (less ln w as there), with a bound on its
// absolute error: by Taylor's formula psi(z) + e psi'(z)/2 + e^2 psi''(z)/6
// + e^3 psi'''(t)/24 for some t between z and z + e, where psi'''(t) =
// 6 sum_j 1/(t + j)^4 <= 6 (1/g^4 + 19) for g the distance of t from the
// nearest pole, at most 1/2. False within kLeastPoleGap of a pole.
bool meanDigamma(const DoubleDouble& z, const DoubleDouble& e, bool integer, Digamma& mean) {
    if (!(z.hi >= kLowestArgument)) return false;
    const long double point = toLongDouble(z);
    const long double pole = std::min(0.0L, std::nearbyint(point));
    const long double gap = std::min(0.5L, std::fabs(point - pole));
    if (!(gap >= kLeastPoleGap)) return false;
    mean = integer ? digammaAtInteger(static_cast<int>(z.hi)) : digamma(z);
    const long double offset = toLongDouble(e);
    const long double square = offset * offset;
    const long double correction = offset * mean.first / 2.0L + square * mean.second / 6.0L;
    mean.value = mean.value + fromLongDouble(correction);
    const long double g = gap - std::fabs(offset);
    mean.error += kDerivativeError * (std::fabs(offset) / 2.0L * (1.0L + mean.first) +
                                      square / 6.0L * (1.0L + mean.secondSize)) +
                  std::fabs(square * offset) / 4.0L * (1.0L / (g * g * g * g) + 19.0L) +
                  kRounding * std::fabs(correction);
    return true;
}

// expm1(y) / y = sum_k y^k / (k + 1)! for |y| <= kLargestExponent, the
// factors 1/j formed once.
DoubleDouble expm1Quotient(const DoubleDouble& y) {
    static const auto inverses = [] {
        std::array<DoubleDouble, kQuotientTerms + 1> table{};
        for (int j = 1; j <= kQuotientTerms; ++j) table[j] = DoubleDouble(1.0) / DoubleDouble(j);
        return table;
    }();
    DoubleDouble quotient(1.0);
    for (int j = kQuotientTerms; j >= 2; --j) quotient = DoubleDouble(1.0) + quotient * y * inverses[j];
    return quotient;
}

// e^y for |y| <= kLargestExponent, y known to `yError` (absolute), with a
// bound on its relative error.
ScaledDoubleDouble smallExponential(const DoubleDouble& y, long double yError) {
    return {DoubleDouble(1.0) + y * expm1Quotient(y), 0, 1.01L * yError + 32.0L * kRounding};
}

// The sum over n of W_n (see gauss_careful.cpp's limit form) from W_0 and
// g_0: W_n = W_(n-1) r_n(e) + g_(n-1) (r_n(0) - r_n(e)) / e and g_n =
// g_(n-1) r_n(0), with r_n the ratio of consecutive terms of the series
// 2F1(A + t, B + t; m + 1 + t; s) / Gamma(1 - e + t). The absolute errors of
// W_n, g_n and the sum are carried along, from those of W_0 and g_0.
struct LimitSeries {
    DoubleDouble total;
    double error;
};

// The bounds of the series are carried in double (their own rounding is
// covered by the margins of kRounding), from the leading parts. The series
// stops once its remaining terms, bounded by a geometric tail, are below
// kSeriesTail of the sum.
constexpr double kSeriesRounding = 0x1p-100;
constexpr double kSeriesTail = 0x1p-70;

double size(const DoubleDouble& v) {
    return std::fabs(v.hi) * (1.0 + 0x1p-50);
}

LimitSeries limitSeries(const DoubleDouble& bigA, const DoubleDouble& bigB, int m, const DoubleDouble& e,
                        const DoubleDouble& s, DoubleDouble w, double wError, DoubleDouble g, double gError) {
    DoubleDouble total = w;
    double totalError = wError;
    const double lastTurn = std::max(0.0, -std::min(bigA.hi, bigB.hi));
    const double sSize = size(s);
    for (int n = 0; n < kMaxTerms; ++n) {
        const DoubleDouble alpha = bigA + DoubleDouble(n);
        const DoubleDouble beta = bigB + DoubleDouble(n);
        const DoubleDouble gamma(m + n + 1.0);
        const DoubleDouble next(n + 1.0);
        const DoubleDouble eta = next - e;
        const DoubleDouble ab = alpha * beta;
        const DoubleDouble ge = gamma * eta;
        // One division: the three ratios over a common denominator.
        const DoubleDouble shifted = (gamma + e) * next;
        const DoubleDouble scale = s / (ge * shifted);
        const DoubleDouble ratioAtZero = ab * shifted * scale;
        const DoubleDouble ratioAtE = (alpha + e) * (beta + e) * ge * scale;
        const DoubleDouble p1 = ab * (gamma + eta);
        const DoubleDouble p2 = ge * (alpha + beta);
        const DoubleDouble p3 = e * (ab - ge);
        const DoubleDouble difference = (p1 - p2 + p3) * scale;
        // The numerator's parts cancel (their leading powers of n do).
        const double differenceError =
            kSeriesRounding * (16.0 * size(difference) + (size(p1) + size(p2) + size(p3)) * size(scale));
        const double atZero = size(ratioAtZero);
        const double atE = size(ratioAtE);
        const DoubleDouble carried = w * ratioAtE;
        const DoubleDouble fed = g * difference;
        w = carried + fed;
        wError = wError * atE + gError * size(difference) + size(g) * differenceError +
                 kSeriesRounding * 16.0 * (size(carried) + size(fed));
        g = g * ratioAtZero;
        gError = gError * atZero + kSeriesRounding * 16.0 * size(g);
        total = total + w;
        totalError += wError + kSeriesRounding * 2.0 * size(total);
        const double largest = std::max(size(w), size(g));
        if (!(largest <= DBL_MAX && size(total) <= DBL_MAX)) return {total, HUGE_VAL};
        const double ratio = std::max(atZero, sSize);
        if (n > lastTurn && ratio < 1.0 && largest <= kSeriesTail * (1.0 - ratio) * size(total)) {
            return {total, totalError + kSeriesTail * size(total)};
        }
    }
    return {total, HUGE_VAL};
}

// sum_{k<m} (a)_k (b)_k / ((1 - m - e)_k k!) s^k with a bound on its
// relative error.
ScaledDoubleDouble finiteSum(const DoubleDouble& a, const DoubleDouble& b, int m, const DoubleDouble& e,
                             const DoubleDouble& s) {
    const DoubleDouble lower = DoubleDouble(1.0 - m) - e;
    DoubleDouble sum(1.0);
    DoubleDouble term(1.0);
    long double size = 1.0L;
    for (int k = 0; k + 1 < m; ++k) {
        const DoubleDouble index(k);
        term = term * (a + index) * (b + index) / ((lower + index) * DoubleDouble(k + 1.0)) * s;
        sum = sum + term;
        size += (k + 2.0L) * magnitude(term);
    }
    return {sum, 0, kRounding * 8.0L * size / magnitude(sum)};
}

ScaledDoubleDouble times(const ScaledDoubleDouble& p, const ScaledDoubleDouble& q) {
    return {p.mantissa * q.mantissa, p.exponent + q.exponent, p.error + q.error + 2.0L * kRounding};
}

// v brought to [1/2, 1) by a power of 2 taken into its exponent.
void normalize(ScaledDoubleDouble& v) {
    int shift = 0;
    std::frexp(v.mantissa.hi, &shift);
    v.mantissa = scaledBy(v.mantissa, -shift);
    v.exponent += shift;
}

// m! / ((a)_m (b)_m), where no factor is zero.
ScaledDoubleDouble pochhammerRatio(const DoubleDouble& a, const DoubleDouble& b, int m) {
    ScaledDoubleDouble up{DoubleDouble(1.0), 0, 0.0L};
    ScaledDoubleDouble down{DoubleDouble(1.0), 0, 0.0L};
    for (int k = 0; k < m; ++k) {
        const DoubleDouble index(k);
        up.mantissa = up.mantissa * DoubleDouble(k + 1.0);
        down.mantissa = down.mantissa * (a + index) * (b + index);
        normalize(up);
        normalize(down);
    }
    return {up.mantissa / down.mantissa, up.exponent - down.exponent, kRounding * (4.0L * m + 4.0L)};
}

// s^p = e^(p ln s), ln s known to `logError` (absolute); exactly 1 at p = 0.
ScaledDoubleDouble powerOf(const DoubleDouble& logS, long double logError, const DoubleDouble& p) {
    if (p.hi == 0.0) return {DoubleDouble(1.0), 0, 0.0L};
    ScaledDoubleDouble power = expDoubleDouble(p * logS);
    power.error += logError * magnitude(p);
    return power;
}

}  // namespace

// The limit form of the connection formula near an integer c - a - b (at
// e = 0 DLMF 15.8.10), as in gauss_careful.cpp but with every part in
// double-double: W_0 = expm1(e Q) / e = Q E(e Q),
// E(y) = sum_k y^k / (k + 1)!, and g_0 = e^(e Q), with Q = psi~(m + 1, e) +
// psi~(1, -e) - psi~(A, e) - psi~(B, e) - ln s from the mean digamma values
// psi~ above. The Gamma values share one quotient G = Gamma(c) / (Gamma(a)
// Gamma(b)): as c - a = B + e and c - b = A + e,
//   Gamma(m + 1 + e) = m! e^(e psi~(m + 1, e)),
//   Gamma(m + e) = Gamma(m + 1 + e) / (m + e),
//   Gamma(c - a) Gamma(c - b) = Gamma(a) Gamma(b) (a)_m (b)_m e^(e (psi~(A, e) + psi~(B, e))),
// and pi e / sin(pi e) = 1 + (pi e)^2 / 6 to 2^-110 for |e| <= 2^-30.
WideSeriesSum limitConnectionDoubleDouble(const DoubleDouble& a, const DoubleDouble& b, double c, int m,
                                          const DoubleDouble& e, const DoubleDouble& s,
                                          const DoubleDouble& outerPower) {
    if (!(std::fabs(e.hi) <= kLargestOffset) || m < 0 || m >= kMaxTerms) return kNoSum;
    const DoubleDouble bigA = a + DoubleDouble(m);
    const DoubleDouble bigB = b + DoubleDouble(m);
    Digamma top;
    Digamma one;
    Digamma atA;
    Digamma atB;
    if (!meanDigamma(DoubleDouble(m + 1.0), e, true, top) || !meanDigamma(DoubleDouble(1.0), -e, true, one) ||
        !meanDigamma(bigA, e, false, atA) || !meanDigamma(bigB, e, false, atB)) {
        return kNoSum;
    }
    const DoubleDouble logS = logDoubleDouble(s);
    const long double logSError = kRounding * (128.0L + magnitude(logS));
    const DoubleDouble logLifted = logDoubleDouble(atA.lifted * atB.lifted);
    // X = psi~(m + 1, e) - psi~(A, e) - psi~(B, e), and Q = X + psi~(1, -e) - ln s.
    const DoubleDouble x = top.value - atA.value - atB.value - logLifted;
    const long double xError = top.error + atA.error + atB.error +
                               kRounding * (136.0L + magnitude(logLifted) + magnitude(top.value) +
                                            magnitude(atA.value) + magnitude(atB.value));
    const DoubleDouble q = x + one.value - logS;
    const long double qError =
        xError + one.error + logSError + kRounding * 4.0L * (magnitude(x) + magnitude(q));
    const DoubleDouble y = e * q;
    const DoubleDouble ex = e * x;
    const DoubleDouble eTop = e * top.value;
    if (!(std::fabs(y.hi) <= kLargestExponent && std::fabs(ex.hi) <= kLargestExponent &&
          std::fabs(eTop.hi) <= kLargestExponent)) {
        return kNoSum;
    }
    const long double offset = magnitude(e);
    const DoubleDouble quotient = expm1Quotient(y);
    const DoubleDouble w = q * quotient;
    const DoubleDouble g = DoubleDouble(1.0) + y * quotient;
    const LimitSeries series = limitSeries(
        bigA, bigB, m, e, s, w, 1.01L * qError * magnitude(quotient) + 32.0L * kRounding * magnitude(w), g,
        1.01L * offset * qError + 32.0L * kRounding);
    const long double seriesSize = magnitude(series.total);
    if (!(series.error < seriesSize)) return kNoSum;
    const ScaledDoubleDouble quotientG = gammaQuotientDoubleDouble({DoubleDouble(c)}, {a, b}, DoubleDouble());
    if (!(quotientG.error < 1.0L)) return kNoSum;
    // The singular part: G s^(m + e) times the sum over Gamma(m + 1 + e) =
    // m! e^(e psi~(m + 1, e)), with 1/m! = m! / ((1)_m (1)_m).
    const DoubleDouble degree = DoubleDouble(m) + e;
    const DoubleDouble singularPower = degree + outerPower;
    const ScaledDoubleDouble power = powerOf(logS, logSError, singularPower);
    const ScaledDoubleDouble topGamma = smallExponential(eTop, offset * top.error);
    const ScaledDoubleDouble inverseFactorial = pochhammerRatio(DoubleDouble(1.0), DoubleDouble(1.0), m);
    const double piE = kPi * e.hi;
    const DoubleDouble sine =
        DoubleDouble(m % 2 == 0 ? 1.0 : -1.0) * (DoubleDouble(1.0) + DoubleDouble(piE * piE / 6.0));
    const ScaledDoubleDouble singular =
        times(times(quotientG, power),
              times(inverseFactorial, {sine * series.total / topGamma.mantissa, 0,
                                       series.error / seriesSize + topGamma.error + 8.0L * kRounding}));
    // The finite part: G m! / ((a)_m (b)_m (m + e)) e^(e X) times its sum.
    ScaledDoubleDouble finite{DoubleDouble(), singular.exponent, 0.0L};
    if (m > 0) {
        const ScaledDoubleDouble outer = powerOf(logS, logSError, outerPower);
        const ScaledDoubleDouble ratio = pochhammerRatio(a, b, m);
        const ScaledDoubleDouble meanPart = smallExponential(ex, offset * xError);
        const ScaledDoubleDouble sum = finiteSum(a, b, m, e, s);
        finite =
            times(times(quotientG, outer),
                  times(times(ratio, meanPart), {sum.mantissa / degree, 0, sum.error + 4.0L * kRounding}));
    }
    long double error = 0.0L;
    const long double value = sumOfScaled(finite, singular, error);
    // A part that left the range (or a NaN from one) leaves the answer to
    // the other forms.
    if (!std::isfinite(value) || !(error < 1.0L)) return kNoSum;
    return {value, error + 0x1p-62L};
}

}  // namespace Oru
