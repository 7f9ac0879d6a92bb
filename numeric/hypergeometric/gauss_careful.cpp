#include "numeric/hypergeometric/gauss_careful.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "numeric/core/constants.hpp"
#include "numeric/core/double_double.hpp"
#include "numeric/hypergeometric/gauss_gamma.hpp"
#include "numeric/hypergeometric/gauss_limit.hpp"
#include "numeric/hypergeometric/gauss_wide.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr int kMaxExtendedTerms = 5000;
constexpr int kMaxWideTerms = 1500;
// A series stops once its remaining terms, bounded by a geometric tail, are
// below this fraction of the sum.
constexpr double kTailBound = 0x1p-64;
// Rounding error per operation of double-double and of extended arithmetic,
// with a margin for the few operations each term takes.
constexpr long double kWideRounding = 0x1p-101L;
constexpr long double kExtendedRounding = 0x1p-61L;
// A form whose error bound is below the first value answers at once; the
// best form is accepted up to the second, beyond it the function refuses.
constexpr long double kEnoughAccuracy = 0x1p-49L;
constexpr long double kLeastAccuracy = 0x1p-40L;
// An extended series with a larger bound is not summed in double-double.
constexpr long double kHopeless = 4.0L;
// The bound of a double-double sum over that of the same sum in extended
// precision.
constexpr long double kDoubleDoubleGain = kWideRounding / kExtendedRounding;
// The series at x, at x/(x - 1) or at 1 - x is used where that point is at
// most this far from 0.
constexpr double kNearPoint = 0.5;
// The series at x (in extended precision first) still competes with the
// connection to 1 - x up to here.
constexpr double kDirectLimit = 0.97;
// c - a - b closer than this to an integer m: the connection to 1 - x is
// written as a function of c - a - b - m, without the two poles.
constexpr double kLimitFormBand = 0.25;
// Closer to an integer c - a - b the general connection formula in
// double-double loses more than 2^30 to its poles and is not tried.
constexpr long double kLeastPoleDistance = 0x1p-30L;
// There the limit form is summed again in double-double where its extended
// bound is below this: double-double lowers that bound by 2^-17 to 2^-20
// (measured), not by its full 2^-40, for its digamma values and Gamma
// quotients add errors of their own.
constexpr long double kLimitFormHopeless = 0x1p-34L;
// ... and where the general formula's parts, measured in extended precision, exceed their sum
// by more than this.
constexpr long double kDoubleDoubleSpread = 0x1p53L;
// Stirling's series for ln Gamma is used from here on.
constexpr long double kStirlingStart = 12.0L;
// B_2k / (2k (2k - 1)) for k = 1 ... 8.
constexpr long double kStirlingCoefficients[] = {
    1.0L / 12.0L,   -1.0L / 360.0L,      1.0L / 1260.0L, -1.0L / 1680.0L,
    1.0L / 1188.0L, -691.0L / 360360.0L, 1.0L / 156.0L,  -3617.0L / 122400.0L,
};

// A value and a bound on its relative rounding error (infinite: no value).
struct Estimate {
    long double value;
    long double error;
};

constexpr Estimate kNoEstimate{0.0L, HUGE_VALL};

// An estimate that proves the value beyond the double range: no further
// accuracy can change the answer ("overflow").
bool beyondDoubleRange(const Estimate& e) {
    return e.error < 0.5L && std::fabs(e.value) * (1.0L - e.error) > DBL_MAX;
}

Estimate product(const Estimate& p, const Estimate& q) {
    return {p.value * q.value, p.error + q.error + kExtendedRounding};
}

// The sum of two values, whose errors grow by the ratio of their size to
// that of their sum.
Estimate sum(const Estimate& p, const Estimate& q) {
    const long double value = p.value + q.value;
    const long double spread = std::fabs(p.value) * p.error + std::fabs(q.value) * q.error;
    return {value, spread / std::fabs(value) + kExtendedRounding};
}

// The integer tests here are exact: a parameter 1e-15 from an integer is
// not that integer, and the function can be very sensitive to the
// difference (a polynomial becomes a series, a pole of c a large value).
bool isNonPositiveInteger(double v) {
    return v <= 0.0 && v == std::nearbyint(v);
}

bool isNonPositiveInteger(const DoubleDouble& v) {
    return v.lo == 0.0 && isNonPositiveInteger(v.hi);
}

// Arithmetic of the series below: extended precision, or double-double.
long double leading(long double v) {
    return v;
}
double leading(const DoubleDouble& v) {
    return v.hi;
}
long double widened(long double v) {
    return v;
}
long double widened(const DoubleDouble& v) {
    return toLongDouble(v);
}

// sum over k of (a)_k (b)_k / ((c)_k k!) z^k, its relative error bounded by
// the number of terms and the largest term over the sum, in the arithmetic
// Number (rounding unit `rounding`) with at most maxTerms terms.
template <typename Number>
Estimate seriesIn(const Number& a, const Number& b, const Number& c, const Number& z, long double rounding,
                  int maxTerms, long double& largestTerm, Number* sum = nullptr,
                  long double tail = kTailBound) {
    Number total(1.0);
    Number term(1.0);
    long double largest = 1.0L;
    // Beyond this index no factor a + k, b + k or c + k changes sign again,
    // so the terms no longer change their pattern of signs.
    const long double lastTurn = std::fmax(0.0L, -std::fmin(std::fmin(widened(a), widened(b)), widened(c)));
    const auto estimate = [&](int terms) {
        largestTerm = largest;
        if (sum != nullptr) *sum = total;
        const long double spread = largest / std::fabs(widened(total));
        return Estimate{widened(total), rounding * (terms + 2) * spread};
    };
    for (int k = 0; k < maxTerms; ++k) {
        const double index = k;
        const Number numerator = (a + Number(index)) * (b + Number(index));
        if (leading(numerator) == 0.0) return estimate(k);  // a polynomial ends here
        const Number denominator = (c + Number(index)) * Number(index + 1.0);
        term = term * (numerator / denominator) * z;
        total = total + term;
        const long double size = std::fabs(widened(term));
        if (!(size <= DBL_MAX && std::fabs(widened(total)) <= DBL_MAX)) return kNoEstimate;
        largest = std::max(largest, size);
        if (index > lastTurn) {
            const long double ratio = std::max(
                std::fabs(widened(numerator) / widened(denominator) * widened(z)), std::fabs(widened(z)));
            if (ratio < 1.0L && size <= tail * (1.0L - ratio) * std::fabs(widened(total))) {
                return estimate(k + 1);
            }
        }
    }
    return kNoEstimate;
}

// The sum of a series' terms' magnitudes over that of the sum, bounded from
// its extended bound (kExtendedRounding (K + 2) largest / |sum|); known only
// where that bound shows the extended sum right to a factor 2.
long double spreadOf(long double extendedError) {
    return extendedError <= 0.5L ? 2.0L * extendedError / kExtendedRounding : HUGE_VALL;
}

// The series in extended precision, and again in double-double where the
// first cannot vouch for its result; `largest` is its largest term (infinite
// where the first did not converge).
Estimate wideSeries(const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                    const DoubleDouble& z, long double& largest) {
    largest = HUGE_VALL;
    const Estimate fast = seriesIn(toLongDouble(a), toLongDouble(b), toLongDouble(c), toLongDouble(z),
                                   kExtendedRounding, kMaxExtendedTerms, largest);
    // Where the extended sum's own bound exceeds kHopeless its terms exceed
    // the sum by 2^61 or more (when they exceed it by less, that sum is right
    // to a few bits and so is its bound): double-double could not reach
    // kLeastAccuracy, only the wide arithmetic can.
    if (fast.error <= kEnoughAccuracy || fast.error > kHopeless) return fast;
    long double unused = 0.0L;
    const Estimate wide = seriesIn(a, b, c, z, kWideRounding, kMaxWideTerms, unused);
    return wide.error < fast.error ? wide : fast;
}

Estimate wideSeries(const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                    const DoubleDouble& z) {
    long double unused = 0.0L;
    return wideSeries(a, b, c, z, unused);
}

// s^p for s > 0 in extended precision.
Estimate power(long double s, long double p) {
    return {std::pow(s, p), kExtendedRounding * (2.0L + std::fabs(p * std::log(s)))};
}

// A real value as sign * e^log, for products of Gamma values far beyond the
// double range.
struct SignedLog {
    long double log;
    int sign;
};

SignedLog logGamma(long double v) {
    int sign = 1;
    const long double log = ::lgammal_r(v, &sign);
    return {log, sign};
}

// prod Gamma(up) / prod Gamma(down) times e^extra, with its error bound
// (the logarithms are rounded relative to their size).
Estimate gammaQuotient(std::initializer_list<long double> up, std::initializer_list<long double> down,
                       long double extra) {
    long double log = extra;
    long double size = std::fabs(extra);
    int sign = 1;
    for (long double v : up) {
        const SignedLog g = logGamma(v);
        log += g.log;
        size += std::fabs(g.log);
        sign *= g.sign;
    }
    for (long double v : down) {
        const SignedLog g = logGamma(v);
        log -= g.log;
        size += std::fabs(g.log);
        sign *= g.sign;
    }
    // A pole in the denominator makes the quotient 0, exactly.
    if (std::isnan(log)) return kNoEstimate;
    return {sign * std::exp(log), kExtendedRounding * (4.0L + size)};
}

// A point at which a series is summed: its value in double-double, and
// exactly as a quotient of two double-double values.
struct SeriesPoint {
    DoubleDouble value;
    DoubleDouble numerator;
    DoubleDouble denominator;
};

// x, 1 - x and x/(x - 1) = -x / (1 - x).
struct Points {
    double x;
    DoubleDouble s;
    DoubleDouble z;
    long double sExtended;
    SeriesPoint atX;
    SeriesPoint atS;
    SeriesPoint atZ;
};

Points pointsOf(double x) {
    const DoubleDouble s = twoSum(1.0, -x);
    const DoubleDouble z = DoubleDouble(-x) / s;
    return {x, s, z, toLongDouble(s), {x, x, 1.0}, {s, s, 1.0}, {z, -x, s}};
}

// The series to a quarter of kEnoughAccuracy (it is one part of a form):
// in extended precision, in double-double where that can reach it, else in
// the wide arithmetic with the point as an exact quotient.
Estimate widestSeries(const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                      const SeriesPoint& z) {
    constexpr long double kTarget = kEnoughAccuracy / 4;
    long double largest = HUGE_VALL;
    Estimate best = seriesIn(toLongDouble(a), toLongDouble(b), toLongDouble(c), toLongDouble(z.value),
                             kExtendedRounding, kMaxExtendedTerms, largest);
    if (best.error <= kTarget || largest == HUGE_VALL) return best;
    if (best.error * kDoubleDoubleGain <= kTarget) {
        long double unused = 0.0L;
        const Estimate dd = seriesIn(a, b, c, z.value, kWideRounding, kMaxWideTerms, unused);
        if (dd.error <= kTarget) return dd;
    }
    const WideSeriesSum sum = wideGaussSeries(a, b, c, z.numerator, z.denominator, spreadOf(best.error));
    return sum.error < best.error ? Estimate{sum.value, sum.error} : best;
}

// A form factor * 2F1(a, b; c; z) whose series extended precision could not
// resolve, kept for double-double and the wide arithmetic with the size of
// its largest term times its factor (the form with the smaller size cancels
// less) and its extended bound.
struct WideCandidate {
    Estimate factor;
    DoubleDouble a, b, c;
    SeriesPoint point;
    long double size;
    long double extendedError;
    bool tried;
};

constexpr int kMaxWideCandidates = 10;

// Tries the forms in turn and keeps the best; stops once one is accurate.
class BestForm {
public:
    bool consider(const Estimate& e) {
#ifdef ORU_CAREFUL_DEBUG
        fprintf(stderr, "  form %.17Lg err %.3Lg\n", e.value, e.error);
#endif
        if (e.error < best_.error) best_ = e;
        return done();
    }
    // factor * 2F1(a, b; c; z) in extended precision; where that is not
    // enough, the form is remembered for the wider arithmetics.
    bool series(const Estimate& factor, const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                const SeriesPoint& z) {
        long double largest = HUGE_VALL;
        const Estimate fast = seriesIn(toLongDouble(a), toLongDouble(b), toLongDouble(c),
                                       toLongDouble(z.value), kExtendedRounding, kMaxExtendedTerms, largest);
        if (consider(product(factor, fast))) return true;
        // A series that did not converge in extended precision will not in
        // the wider arithmetics either.
        if (candidates_ < kMaxWideCandidates && largest < HUGE_VALL) {
            wide_[candidates_++] = {factor, a, b, c, z, std::fabs(factor.value) * largest, fast.error, false};
        }
        return false;
    }
    // The remembered forms again, the least cancelling first, until one is
    // accurate: in double-double where the extended sum shows that this
    // reaches kEnoughAccuracy (its bound is the extended one times
    // 2^-40; about a microsecond per hundred terms), then in the wide
    // arithmetic (a few times slower), and last in double-double where that
    // can at least reach kLeastAccuracy.
    void refine() {
        std::sort(wide_, wide_ + candidates_,
                  [](const WideCandidate& p, const WideCandidate& q) { return p.size < q.size; });
        const auto doubleDouble = [this](long double largestError) {
            for (int i = 0; i < candidates_ && !done(); ++i) {
                const WideCandidate& w = wide_[i];
                if (w.extendedError > largestError || w.tried) continue;
                wide_[i].tried = true;
                long double unused = 0.0L;
                consider(product(
                    w.factor, seriesIn(w.a, w.b, w.c, w.point.value, kWideRounding, kMaxWideTerms, unused)));
            }
        };
        doubleDouble(kEnoughAccuracy / kDoubleDoubleGain);
        for (int i = 0; i < candidates_ && !done(); ++i) {
            const WideCandidate& w = wide_[i];
            const WideSeriesSum sum = wideGaussSeries(w.a, w.b, w.c, w.point.numerator, w.point.denominator,
                                                      spreadOf(w.extendedError));
            consider(product(w.factor, {sum.value, sum.error}));
        }
        doubleDouble(kHopeless);
    }
    bool done() const {
        return best_.error <= kEnoughAccuracy || beyondDoubleRange(best_);
    }
    const Estimate& best() const {
        return best_;
    }

private:
    Estimate best_ = kNoEstimate;
    WideCandidate wide_[kMaxWideCandidates];
    int candidates_ = 0;
};

constexpr Estimate kOne{1.0L, 0.0L};

// The forms for x near 0: the series at x, Euler's (1 - x)^(c-a-b) 2F1(c-a,
// c-b; c; x), and Pfaff's (1 - x)^-a 2F1(a, c-b; c; z) and (1 - x)^-b
// 2F1(c-a, b; c; z) at z = x/(x - 1), the point nearer 0 first.
void seriesForms(BestForm& forms, double a, double b, double c, const Points& p) {
    const DoubleDouble ca = DoubleDouble(c) - DoubleDouble(a);
    const DoubleDouble cb = DoubleDouble(c) - DoubleDouble(b);
    const long double d = toLongDouble(ca - DoubleDouble(b));
    const auto atX = [&] {
        if (std::fabs(p.x) > kNearPoint) return false;
        return forms.series(kOne, a, b, c, p.atX) || forms.series(power(p.sExtended, d), ca, cb, c, p.atX);
    };
    const auto atZ = [&] {
        if (std::fabs(p.z.hi) > kNearPoint) return false;
        return forms.series(power(p.sExtended, -a), a, cb, c, p.atZ) ||
               forms.series(power(p.sExtended, -b), ca, b, c, p.atZ);
    };
    if (std::fabs(p.z.hi) < std::fabs(p.x)) {
        if (!atZ()) atX();
    } else {
        if (!atX()) atZ();
    }
}

// (c - b)_n / (c)_n in extended precision.
Estimate pochhammerQuotient(const DoubleDouble& cb, double c, int n) {
    long double q = 1.0L;
    for (int j = 0; j < n; ++j) q = q * (toLongDouble(cb) + j) / (static_cast<long double>(c) + j);
    return {q, kExtendedRounding * (2.0L * n + 1.0L)};
}

// The polynomial 2F1(-n, b; c; x), n = -a, times `outer`: the sum at x,
// Pfaff's form at z (still a polynomial, times (1 - x)^n) and, for x > 0,
// the reversed sum (c - b)_n / (c)_n 2F1(-n, b; b - c - n + 1; 1 - x).
void polynomialForms(BestForm& forms, const Estimate& outer, double a, const DoubleDouble& b, double c,
                     const Points& p) {
    const DoubleDouble cb = DoubleDouble(c) - b;
    if (forms.series(outer, a, b, c, p.atX)) return;
    if (std::fabs(p.z.hi) <= 1.0 && forms.series(product(outer, power(p.sExtended, -a)), a, cb, c, p.atZ)) {
        return;
    }
    if (p.x > 0.0 && -a < kMaxWideTerms) {
        const DoubleDouble reversed = DoubleDouble(a) - cb + DoubleDouble(1.0);
        forms.series(product(outer, pochhammerQuotient(cb, c, static_cast<int>(-a))), a, b, reversed, p.atS);
    }
}

// The sum over the lifting steps w = z, z + 1, ... below kStirlingStart of
// ln(1 + e/w) / e (of 1/w at e = 0), with w at the end of the steps. The
// products P = prod (1 + e/w) over the w of each sign are carried with
// U = P - 1 as U <- U + t P, P <- P + t P (t = e/w): within one sign every
// t has the same sign as U, so nothing cancels, and one logarithm per sign
// takes the place of one per step. False when a pole of Gamma lies between
// w and w + e.
bool liftedLogarithms(long double& w, long double e, long double& sum) {
    long double reciprocals = 0.0L;
    long double below[2] = {1.0L, 0.0L};  // P and U over w < 0
    long double above[2] = {1.0L, 0.0L};  // ... and over w > 0
    while (w < kStirlingStart) {
        if (w == 0.0L || e / w <= -1.0L) return false;
        reciprocals += 1.0L / w;
        const long double t = e / w;
        long double* product = w < 0.0L ? below : above;
        product[1] += t * product[0];
        product[0] += t * product[0];
        w += 1.0L;
    }
    sum = e == 0.0L ? reciprocals : (std::log1p(below[1]) + std::log1p(above[1])) / e;
    return true;
}

// (ln Gamma(z + e) - ln Gamma(z)) / e, the mean of the digamma function over
// [z, z + e] (digamma(z) itself at e = 0), without the cancellation of the
// difference: the recurrence Gamma(w + 1) = w Gamma(w) lifts w to 12 or
// beyond, where Stirling's series is differenced term by term: with
// t = e/w, ((w + e)^q - w^q) / e = w^q D_q / e for D_q = (1 + t)^q - 1, and
// D_(q-2) = D_q + D_-2 + D_q D_-2 from D_-1 = -t/(1 + t) and
// D_-2 = -t (2 + t)/(1 + t)^2 (all of one sign: no cancellation). At e = 0
// the differences are the derivatives q w^(q-1). False when a pole of Gamma
// lies between z and z + e.
bool meanDigamma(long double z, long double e, long double& result) {
    long double w = z;
    long double lifted = 0.0L;
    if (!liftedLogarithms(w, e, lifted)) return false;
    const long double t = e / w;
    const long double logRatio = e == 0.0L ? 1.0L / w : std::log1p(t) / e;
    long double r = (w - 0.5L) * logRatio + std::log(w + e) - 1.0L;
    const long double inverseSquare = 1.0L / (w * w);
    const long double downTwo = -t * (2.0L + t) / ((1.0L + t) * (1.0L + t));
    long double power = 1.0L / w;              // w^q
    long double difference = -t / (1.0L + t);  // D_q
    long double q = -1.0L;
    for (long double coefficient : kStirlingCoefficients) {
        r += coefficient * (e == 0.0L ? q * power / w : power * difference / e);
        power *= inverseSquare;
        difference = difference + downTwo + difference * downTwo;
        q -= 2.0L;
    }
    result = r - lifted;
    return true;
}

// ln|Gamma(z + e) / Gamma(z)| with its sign, and the mean digamma value
// (that logarithm over e) where no pole lies between z and z + e.
struct GammaRatio {
    long double log;
    long double mean;
    int sign;
};

GammaRatio gammaRatio(long double z, long double e) {
    long double mean = 0.0L;
    if (meanDigamma(z, e, mean)) return {e * mean, mean, 1};
    const SignedLog up = logGamma(z + e);
    const SignedLog down = logGamma(z);
    const long double log = up.log - down.log;
    return {log, log / e, up.sign * down.sign};
}

// The connection to 1 - x for c - a - b = d = m + e, m >= 0 an integer and
// |e| small, where the two terms of the general formula each have a pole at
// e = 0 and their sum does not. With A = a + m, B = b + m:
//
//   2F1 = Gamma(c) Gamma(d) / (Gamma(c-a) Gamma(c-b)) sum_{k<m} (a)_k (b)_k
//         / ((1-d)_k k!) s^k
//       + (-1)^m Gamma(c) s^d (pi e / sin(pi e)) / (Gamma(a) Gamma(b)
//         Gamma(m+1+e)) sum_n W_n,
//
// where W_n = (g_n(0) - g_n(e)) / (e g_n(e)|_(n=0)), g_n(t) = Gamma(A+n+t)
// Gamma(B+n+t) s^(n+t) / (Gamma(m+n+1+t) Gamma(n+1-e+t)). The difference is
// taken analytically: W_0 = expm1(e Q) / e with Q the sum of mean digamma
// values, and each later W_n follows from the ratio of consecutive g's and
// the difference of the ratios, which carries the factor e explicitly. At
// e = 0 this is the logarithmic connection formula.
Estimate limitConnection(long double a, long double b, long double c, long double ca, long double cb, int m,
                         long double e, long double s) {
    const long double bigA = a + m;
    const long double bigB = b + m;
    const long double logS = std::log(s);
    const GammaRatio lm = gammaRatio(m + 1.0L, e);
    const GammaRatio l1 = gammaRatio(1.0L, -e);
    const GammaRatio la = gammaRatio(bigA, e);
    const GammaRatio lb = gammaRatio(bigB, e);
    // g_0(0) / g_0(e) = e^(e Q) with Q = L(m+1) + L(1, -e) - L(A) - L(B) - ln s,
    // unless a pole between A and A + e (or B, B + e) turns its sign.
    const long double eq = lm.log - l1.log - la.log - lb.log - e * logS;
    const int sign = lm.sign * l1.sign * la.sign * lb.sign;
    long double g = sign * std::exp(eq);
    long double w = 0.0L;
    if (e == 0.0L) {
        w = lm.mean + l1.mean - la.mean - lb.mean - logS;
    } else if (sign > 0) {
        w = std::expm1(eq) / e;
    } else {
        w = (g - 1.0L) / e;
    }
    long double total = w;
    long double largest =
        std::fmax(std::fabs(w), std::fabs(lm.mean) + std::fabs(l1.mean) + std::fabs(la.mean) +
                                    std::fabs(lb.mean) + std::fabs(logS));
    const long double lastTurn = std::fmax(0.0L, -std::fmin(bigA, bigB));
    int n = 0;
    for (;; ++n) {
        if (n >= kMaxWideTerms) return kNoEstimate;
        const long double alpha = bigA + n;
        const long double beta = bigB + n;
        const long double gamma = m + n + 1.0L;
        const long double eta = n + 1.0L - e;
        const long double ratioAtZero = alpha * beta * s / (gamma * eta);
        const long double ratioAtE = (alpha + e) * (beta + e) * s / ((gamma + e) * (n + 1.0L));
        const long double ratioDifference =
            s *
            (alpha * beta * (gamma + eta) - gamma * eta * (alpha + beta) + e * (alpha * beta - gamma * eta)) /
            (gamma * eta * (gamma + e) * (n + 1.0L));
        w = w * ratioAtE + g * ratioDifference;
        g = g * ratioAtZero;
        total += w;
        const long double size = std::max(std::fabs(w), std::fabs(g));
        if (!(size <= LDBL_MAX)) return kNoEstimate;
        largest = std::max(largest, size);
        const long double ratio = std::max(std::fabs(ratioAtZero), s);
        if (n > lastTurn && ratio < 1.0L && size <= kTailBound * (1.0L - ratio) * std::fabs(total)) break;
    }
    const long double parity = (m % 2 == 0) ? 1.0L : -1.0L;
    const long double sine = e == 0.0L ? 1.0L : kPi * e / std::sin(kPi * e);
    const Estimate factor = gammaQuotient({c}, {a, b, m + 1.0L + e}, (m + e) * logS);
    const Estimate singular = product({parity * sine * factor.value, factor.error},
                                      {total, kExtendedRounding * (n + 8.0L) * largest / std::fabs(total)});
    if (m == 0) return singular;
    long double finite = 1.0L;
    long double term = 1.0L;
    long double finiteLargest = 1.0L;
    for (int k = 0; k + 1 < m; ++k) {
        term = term * (a + k) * (b + k) / ((1.0L - m - e + k) * (k + 1.0L)) * s;
        finite += term;
        finiteLargest = std::max(finiteLargest, std::fabs(term));
    }
    const Estimate finiteFactor = gammaQuotient({c, m + e}, {ca, cb}, 0.0L);
    const Estimate finitePart =
        product(finiteFactor, {finite, kExtendedRounding * (m + 2.0L) * finiteLargest / std::fabs(finite)});
    return sum(finitePart, singular);
}

// c * 2F1(a, b; c'; s) with c = mantissa 2^exponent, in double-double.
// The series stops once its tail is below `tail` of its sum; that is part
// of the bound.
ScaledDoubleDouble connectionPart(const ScaledDoubleDouble& factor, const DoubleDouble& a,
                                  const DoubleDouble& b, const DoubleDouble& c, const DoubleDouble& s,
                                  long double tail) {
    long double largest = 0.0L;
    DoubleDouble total;
    const Estimate series = seriesIn(a, b, c, s, kWideRounding, kMaxWideTerms, largest, &total, tail);
    return {factor.mantissa * total, factor.exponent,
            factor.error + series.error + tail + 2.0L * kWideRounding};
}

// The connection formula below with its Gamma quotients and series in
// double-double, for parts that cancel beyond what extended precision
// resolves: by `spread`, their size over their sum, so that each series is
// summed until its tail is below 2^-64 / spread of it (2^-101 at least).
Estimate connectionDoubleDouble(const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                                const DoubleDouble& d, const Points& p, long double spread) {
    const long double tail = std::clamp(kTailBound / spread, static_cast<long double>(kWideRounding),
                                        static_cast<long double>(kTailBound));
    const DoubleDouble ca = c - a;
    const DoubleDouble cb = c - b;
    const ScaledDoubleDouble q1 = gammaQuotientDoubleDouble({c, d}, {ca, cb}, DoubleDouble());
    const ScaledDoubleDouble q2 = gammaQuotientDoubleDouble({c, -d}, {a, b}, d * logDoubleDouble(p.s));
    if (!(q1.error < 1.0L && q2.error < 1.0L)) return kNoEstimate;
    const ScaledDoubleDouble first = connectionPart(q1, a, b, DoubleDouble(1.0) - d, p.s, tail);
    const ScaledDoubleDouble second = connectionPart(q2, ca, cb, d + DoubleDouble(1.0), p.s, tail);
    long double error = 0.0L;
    const long double value = sumOfScaled(first, second, error);
    return {value, error + kExtendedRounding};
}

// The arithmetic of the series of the connection formula.
enum class SeriesArithmetic { kExtended, kDoubleDouble, kWide };

// The connection to 1 - x (DLMF 15.8.4):
//   2F1 = Gamma(c) Gamma(d) / (Gamma(c-a) Gamma(c-b)) 2F1(a, b; 1-d; s)
//       + s^d Gamma(c) Gamma(-d) / (Gamma(a) Gamma(b)) 2F1(c-a, c-b; d+1; s),
// d = c - a - b, s = 1 - x; near an integer d the limit form above.
// Where other forms follow (`othersFollow`), the double-double evaluations
// are skipped unless the extended one shows that they reach kEnoughAccuracy:
// they cost tens of microseconds.
Estimate connectionForm(double a, double b, double c, const Points& p, bool othersFollow) {
    const DoubleDouble ca = DoubleDouble(c) - DoubleDouble(a);
    const DoubleDouble cb = DoubleDouble(c) - DoubleDouble(b);
    const DoubleDouble d = ca - DoubleDouble(b);
    const double m = std::nearbyint(d.hi);
    const long double e = toLongDouble(d - DoubleDouble(m));
    const long double s = p.sExtended;
    // The general formula with its series in extended precision (for the
    // spread, the size of its parts over their sum), again in double-double
    // where needed, or last in the wide arithmetic. `gammaBound` is what
    // the Gamma quotients' errors alone make of the sum's error, known where
    // the extended series are right to a factor 2 (`seriesKnown`).
    long double spread = HUGE_VALL;
    long double generalError = HUGE_VALL;
    long double gammaBound = HUGE_VALL;
    bool seriesKnown = false;
    const auto general = [&](SeriesArithmetic arithmetic) {
        const auto series = [&](const DoubleDouble& u, const DoubleDouble& v, const DoubleDouble& w) {
            long double unused = 0.0L;
            switch (arithmetic) {
                case SeriesArithmetic::kExtended:
                    return seriesIn(toLongDouble(u), toLongDouble(v), toLongDouble(w), s, kExtendedRounding,
                                    kMaxExtendedTerms, unused);
                case SeriesArithmetic::kDoubleDouble:
                    return wideSeries(u, v, w, p.s);
                default:
                    return widestSeries(u, v, w, p.atS);
            }
        };
        const Estimate q1 = gammaQuotient({c, toLongDouble(d)}, {toLongDouble(ca), toLongDouble(cb)}, 0.0L);
        const Estimate q2 = gammaQuotient({c, -toLongDouble(d)}, {a, b}, toLongDouble(d) * std::log(s));
        const Estimate s1 = series(a, b, DoubleDouble(1.0) - d);
        const Estimate s2 = series(ca, cb, d + DoubleDouble(1.0));
        const Estimate first = product(q1, s1);
        const Estimate second = product(q2, s2);
        const Estimate total = sum(first, second);
        spread = (std::fabs(first.value) + std::fabs(second.value)) / std::fabs(total.value);
        generalError = total.error;
        gammaBound =
            (std::fabs(first.value) * q1.error + std::fabs(second.value) * q2.error) / std::fabs(total.value);
        seriesKnown = s1.error <= 0.5L && s2.error <= 0.5L;
        return total;
    };
    Estimate extended = kNoEstimate;
    if (std::fabs(e) >= kLimitFormBand) {
        extended = general(SeriesArithmetic::kExtended);
    } else if (!(std::fabs(m) < kMaxWideTerms)) {
        return kNoEstimate;
    } else if (m >= 0.0) {
        extended = limitConnection(a, b, c, toLongDouble(ca), toLongDouble(cb), static_cast<int>(m), e, s);
    } else {
        // d < 0: Euler's transformation first, 2F1 = s^d 2F1(c-a, c-b; c; x),
        // whose own c - a - b is -d.
        extended = product(power(s, toLongDouble(d)), limitConnection(toLongDouble(ca), toLongDouble(cb), c,
                                                                      a, b, static_cast<int>(-m), -e, s));
    }
    if (extended.error <= kEnoughAccuracy || beyondDoubleRange(extended)) return extended;
    if (std::fabs(e) < kLeastPoleDistance) {
        // The limit form again in double-double, where that gains enough.
        if (extended.error > kLimitFormHopeless) return extended;
        const DoubleDouble offset = d - DoubleDouble(m);
        const int degree = static_cast<int>(std::fabs(m));
        const WideSeriesSum wide =
            m >= 0.0 ? limitConnectionDoubleDouble(a, b, c, degree, offset, p.s, DoubleDouble())
                     : limitConnectionDoubleDouble(ca, cb, c, degree, -offset, p.s, d);
        return wide.error < extended.error ? Estimate{wide.value, wide.error} : extended;
    }
    // The parts cancel beyond extended precision: the general formula in
    // double-double (near an integer d its parts cancel by about 1/e more),
    // where they cancel by no more than double-double resolves.
    if (std::fabs(e) < kLimitFormBand) general(SeriesArithmetic::kExtended);
    Estimate best = extended;
    // Where the Gamma quotients in extended precision are enough (or, away
    // from the poles, the series too wrong to tell), only the series cancel:
    // in the wide arithmetic at 1 - x they take fewer terms than any form at x.
    const bool gammaEnough = seriesKnown && gammaBound <= kEnoughAccuracy / 2;
    const bool seriesOnly = gammaEnough || (std::fabs(e) >= kLimitFormBand && !seriesKnown);
    if (seriesOnly) {
        best = general(SeriesArithmetic::kWide);
        if (best.error <= kEnoughAccuracy) return best;
        if (extended.error < best.error) best = extended;
    }
    if (othersFollow && generalError * kDoubleDoubleGain > kEnoughAccuracy) return best;
    if (spread <= kDoubleDoubleSpread) {
        const Estimate wide = connectionDoubleDouble(a, b, c, d, p, spread);
        if (wide.error < best.error) best = wide;
    }
    // Where that cannot be done (a Gamma value at a pole) or is not enough,
    // the general formula's series alone in double-double.
    if (best.error > kEnoughAccuracy && std::fabs(e) >= kLimitFormBand && !seriesOnly) {
        const Estimate widened = general(SeriesArithmetic::kDoubleDouble);
        if (widened.error < best.error) best = widened;
    }
    return best;
}

Estimate bestEstimate(double a, double b, double c, double x) {
    const Points p = pointsOf(x);
    BestForm forms;
    // The polynomial's degree is the parameter nearer 0.
    const bool aEnds = isNonPositiveInteger(a);
    const bool bEnds = isNonPositiveInteger(b);
    if (aEnds || bEnds) {
        const bool useA = aEnds && (!bEnds || a >= b);
        const double n = useA ? a : b;
        polynomialForms(forms, kOne, n, useA ? b : a, c, p);
    }
    // Euler's transformation ends when c - a or c - b is a non-positive
    // integer: a polynomial times (1 - x)^(c-a-b).
    const DoubleDouble ca = DoubleDouble(c) - DoubleDouble(a);
    const DoubleDouble cb = DoubleDouble(c) - DoubleDouble(b);
    const bool caEnds = isNonPositiveInteger(ca);
    const bool cbEnds = isNonPositiveInteger(cb);
    if (!forms.done() && (caEnds || cbEnds)) {
        const bool useCa = caEnds && (!cbEnds || ca.hi >= cb.hi);
        polynomialForms(forms, power(p.sExtended, toLongDouble(ca - DoubleDouble(b))), useCa ? ca.hi : cb.hi,
                        useCa ? cb : ca, c, p);
    }
    if (!forms.done() && !aEnds && !bEnds) {
        if (x > kNearPoint) {
            const bool direct = x <= kDirectLimit;
            if (!forms.consider(connectionForm(a, b, c, p, direct)) && direct) {
                const DoubleDouble d = ca - DoubleDouble(b);
                forms.series(kOne, a, b, c, p.atX) ||
                    forms.series(power(p.sExtended, toLongDouble(d)), ca, cb, c, p.atX);
            }
        } else {
            seriesForms(forms, a, b, c, p);
        }
    }
    if (!forms.done()) forms.refine();
    // The connection formula's double-double evaluations, skipped above
    // where they could not reach full accuracy, as the last resort.
    if (!forms.done() && !aEnds && !bEnds && x > kNearPoint && x <= kDirectLimit) {
        forms.consider(connectionForm(a, b, c, p, false));
    }
    return forms.best();
}

}  // namespace

double carefulGauss(double a, double b, double c, double x) {
    // c a non-positive integer is a pole unless a or b ends the series first.
    const bool endsBeforePole = (isNonPositiveInteger(a) && a > c) || (isNonPositiveInteger(b) && b > c);
    if (isNonPositiveInteger(c) && !endsBeforePole) Throw("domain error", kNoArgument);
    // With a, b, c and x positive every term is positive, so a first term
    // beyond the double range proves the value is.
    if (a > 0.0 && b > 0.0 && c > 0.0 && x > 0.0 && !(a * (b / c) * x <= DBL_MAX)) {
        Throw("overflow", kNoArgument);
    }
    const Estimate e = bestEstimate(a, b, c, x);
    if (beyondDoubleRange(e)) Throw("overflow", kNoArgument);
    if (!(e.error <= kLeastAccuracy)) Throw("not converging", kNoArgument);
    if (!(std::fabs(e.value) <= DBL_MAX)) Throw("overflow", kNoArgument);
    return static_cast<double>(e.value);
}

}  // namespace Oru
