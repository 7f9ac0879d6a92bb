#include "numeric/hypergeometric/confluent.hpp"

#include <cmath>

#include "numeric/core/constants.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "numeric/hypergeometric/confluent_extended.hpp"
#include "numeric/hypergeometric/real_arguments.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr double kEpsilon = 0x1p-52;
constexpr double kMaxTerms = 200.0;
constexpr double kBlowUp = 1e307;
constexpr double kInitialLastTerm = 1000000000.0;
constexpr double kAsymptoticSafety = 30.0;
constexpr double kAcceptedPowerSeriesError = 1e-06;
constexpr double kKeptCancellation = 16.0;
constexpr double kKeptExpansionError = 3e-13;
constexpr double kKeptOmission = 1e-16;
constexpr double kKeptLogPrefactor = 16.0;
constexpr int kSkippedTermsChecked = 400;

// Adding the next term u * term would exceed the double range.
bool wouldBlowUp(double u, double maxTerm) {
    return std::fabs(u) > 1.0 && maxTerm > kBlowUp / std::fabs(u);
}

// Scale for the pending term of a divergent 2F0 series (n the number of
// terms added, w = 1/x), which estimates the remainder of the series.
double convergingFactor(int type, double a, double b, double w, double n) {
    if (type == 1) return 0.5 + (0.125 + 0.25 * b - 0.5 * a + 0.25 * w - 0.25 * n) / w;
    if (type == 2) return 0.6666666666666666 - b + 2.0 * a + w - n;
    return 1.0;
}

// What the power series found: its sum and error estimate as the caller
// receives them, the largest term against the sum (also where the series
// ended as a polynomial, whose error estimate is 0), and whether it gave up.
struct PowerSeriesOutcome {
    double sum = 0.0;
    double err = 0.0;
    double cancellation = 0.0;
    bool gaveUp = false;
    bool skippedTermsMatter = false;
};

// A series that stopped on a small term while b + n was still below 1 has
// skipped terms whose denominators (b)_k come close to zero near k = -b
// (b near a negative integer): followed as magnitudes until b + n passes 1
// and they fall, they may come back above the rounding of the sum.
bool skippedTermsMatter(double an, double bn, double n, double term, double x, double total) {
    double t = std::fabs(term);
    if (t == 0.0) return false;  // x = 0: every later term is 0 as well
    for (int steps = 0; steps < kSkippedTermsChecked; ++steps) {
        const double ratio = std::fabs(an * x / (n * bn));
        if (bn >= 1.0 && ratio < 1.0) return false;
        t = t * ratio;
        if (!(t <= kEpsilon * std::fabs(total))) return true;
        an = an + 1.0;
        bn = bn + 1.0;
        n = n + 1.0;
    }
    return false;
}

PowerSeriesOutcome powerSeries(double a, double b, double x) {
    double an = a;
    double bn = b;
    double term = 1.0;
    double total = 1.0;
    double n = 1.0;
    double maxTerm = 0.0;
    do {
        if (an == 0.0) {  // the series has terminated
            return {total, 0.0, maxTerm / std::fabs(total), false};
        }
        if (n > kMaxTerms) return {0.0, 0.0, 0.0, true};
        const double u = std::fabs(x) < kEpsilon ? 0.0 : (an / (n * bn)) * x;
        if (wouldBlowUp(u, maxTerm)) return {total, 1.0, INFINITY, false};
        term = term * u;
        total = total + term;
        if (std::fabs(term) > maxTerm) maxTerm = std::fabs(term);
        an = an + 1.0;
        bn = bn + 1.0;
        n = n + 1.0;
    } while (std::fabs(term) > kEpsilon);
    const double cancellation = maxTerm / std::fabs(total);
    const bool skipped = bn < 1.0 && skippedTermsMatter(an, bn, n, term, x, total);
    if (total != 0.0) maxTerm = maxTerm / std::fabs(total);
    return {total, std::fabs(maxTerm * kEpsilon + n * kEpsilon), cancellation, false, skipped};
}

}  // namespace

SeriesValue confluentPowerSeries(double a, double b, double x) {
    const PowerSeriesOutcome outcome = powerSeries(a, b, x);
    if (outcome.gaveUp) Throw("overflow", kNoArgument);
    return {outcome.sum, outcome.err};
}

SeriesValue hypergeometric2F0(double a, double b, double x, int type) {
    double an = a;
    double bn = b;
    double term = 1.0;
    double last = 1.0;  // the term not yet added
    double total = 0.0;
    double n = 1.0;
    double lastMagnitude = kInitialLastTerm;
    double maxTerm = 0.0;
    bool converged = true;
    double t = 0.0;
    do {
        if (an == 0.0 || bn == 0.0) break;
        const double u = ((bn / n) * x) * an;
        if (wouldBlowUp(u, maxTerm)) return {total, kBlowUp};
        term = term * u;
        t = std::fabs(term);
        if (t > lastMagnitude) {  // the terms have started to grow
            converged = false;
            break;
        }
        lastMagnitude = t;
        total = total + last;
        last = term;
        if (n > kMaxTerms) {
            converged = false;
            break;
        }
        an = an + 1.0;
        bn = bn + 1.0;
        n = n + 1.0;
        if (t > maxTerm) maxTerm = t;
    } while (t > kEpsilon);
    if (converged) return {total + term, std::fabs((maxTerm + n) * kEpsilon)};
    const double added = n - 1.0;
    last = last * convergingFactor(type, a, b, 1.0 / x, added);
    return {total + last, (maxTerm + added) * kEpsilon + std::fabs(term)};
}

namespace {

// The asymptotic expansion, and the size of the part of it that it leaves
// out of the sum (the e^x part for x < 0, the other for x > 0) relative to
// the sum.
struct ExpansionParts {
    SeriesValue value;
    double omitted;
    double logPrefactor;  // the exponent of the Gamma and power prefactor of the sum
    double logPower;      // of the power alone
};

ExpansionParts asymptoticExpansion(double a, double b, double x) {
    if (x == 0.0) return {{kBlowUp, 1.0}, 0.0, 0.0, 0.0};
    const double logX = std::log(std::fabs(x));
    double t = (a - b) * logX + x;
    double u = -(logX * a);
    if (b > 0.0) {
        const double g = realLogGamma(b);
        t = t + g;
        u = u + g;
    }
    // M(a, b, x) / Gamma(b) ~ |x|^-a / Gamma(b - a) 2F0(a, a - b + 1; ; -1/x)
    //                       + e^x x^(a - b) / Gamma(a) 2F0(b - a, 1 - a; ; 1/x).
    const SeriesValue s1 = hypergeometric2F0(a, a - b + 1.0, -1.0 / x, 1);
    const double f1 = std::exp(u) / realGamma(b - a);
    const double h1 = s1.sum * f1;
    const double e1 = s1.err * f1;
    const SeriesValue s2 = hypergeometric2F0(b - a, 1.0 - a, 1.0 / x, 2);
    const double f2 = a < 0.0 ? std::exp(t) / realGamma(a) : std::exp(t - realLogGamma(a));
    const double h2 = s2.sum * f2;
    const double e2 = s2.err * f2;
    double value = x < 0.0 ? h1 : h2;
    const double omitted = std::fabs(x < 0.0 ? h2 / h1 : h1 / h2);
    double error = std::fabs(e1) + std::fabs(e2);
    if (b < 0.0) {
        const double g = realGamma(b);
        value = value * g;
        error = error * std::fabs(g);
    }
    if (value != 0.0) error = error / std::fabs(value);
    return {{value, error * kAsymptoticSafety},
            omitted,
            std::fabs(x < 0.0 ? u : t),
            std::fabs((x < 0.0 ? a : a - b) * logX)};
}

}  // namespace

SeriesValue confluentAsymptotic(double a, double b, double x) {
    return asymptoticExpansion(a, b, x).value;
}

namespace {

bool isNonPositiveInteger(double v) {
    return v <= 0.0 && v == std::floor(v);
}

// The gamma helpers would raise for the asymptotic expansion of M(a, b, x):
// Gamma(b - a), Gamma(a) or Gamma(b) at a pole, ln Gamma beyond its range.
bool asymptoticMeetsGammaError(double a, double b) {
    if (isNonPositiveInteger(b - a)) return true;
    if (a < 0.0 ? isNonPositiveInteger(a) : a > kLogExtendedMax) return true;
    return b < 0.0 ? isNonPositiveInteger(b) : b > kLogExtendedMax;
}

// Everything the evaluation of the power series and, where its own error
// estimate asks for it, of the asymptotic expansion has found.
struct SeriesAndExpansion {
    double value = 0.0;
    bool failed = false;         // an error ended the evaluation
    bool fromExpansion = false;  // the expansion carried the smaller estimate
    double cancellation = 0.0;   // of the power series
    double expansionErr = 0.0;
    double omitted = 0.0;  // by the expansion, relative to its sum
    double logPrefactor = 0.0;
    double logPower = 0.0;
};

// b is a non-positive integer that the series reaches (a does not end it
// first): M is undefined except at x = 0, where the series is 1.
bool reachesPole(double a, double b, double x) {
    return x != 0.0 && isNonPositiveInteger(b) && !(isNonPositiveInteger(a) && a >= b);
}

SeriesAndExpansion seriesAndExpansion(double a, double b, double x) {
    SeriesAndExpansion out;
    const PowerSeriesOutcome series = powerSeries(a, b, x);
    out.cancellation = series.cancellation;
    if (series.gaveUp || series.skippedTermsMatter || reachesPole(a, b, x)) {
        out.failed = true;
        return out;
    }
    out.value = series.sum;
    if (series.err >= kAcceptedPowerSeriesError) {
        if (asymptoticMeetsGammaError(a, b)) {
            out.failed = true;
            return out;
        }
        const ExpansionParts expansion = asymptoticExpansion(a, b, x);
        out.expansionErr = expansion.value.err;
        out.omitted = expansion.omitted;
        out.logPrefactor = expansion.logPrefactor;
        out.logPower = expansion.logPower;
        if (expansion.value.err < series.err) {
            out.value = expansion.value.sum;
            out.fromExpansion = true;
        }
    }
    // An infinite value is beyond the double range, and a NaN comes from
    // infinite intermediate terms meeting each other (the arguments are
    // finite).
    if (!std::isfinite(out.value)) out.failed = true;
    return out;
}

// An expansion is kept where its own estimate is small, the part it leaves
// out negligible, and its Gamma and power prefactor either small (its
// rounding stays small) or mostly the power |x|^-a or x^(a - b), whose
// rounding the sensitivity of M to a then matches.
bool expansionKept(const SeriesAndExpansion& found) {
    return found.expansionErr <= kKeptExpansionError && found.omitted <= kKeptOmission &&
           (found.logPrefactor <= kKeptLogPrefactor || found.logPrefactor <= 2.0 * found.logPower);
}

// The result of the double-precision evaluation is kept wherever what it
// found shows it accurate: a power series whose largest term is at most
// kKeptCancellation times the sum, or an asymptotic expansion whose own
// estimate is at most kKeptExpansionError. Everything else is computed in
// extended precision.
ConfluentMethod chooseMethod(const SeriesAndExpansion& found) {
    if (found.failed) return ConfluentMethod::Extended;
    const bool kept = found.fromExpansion ? expansionKept(found) : found.cancellation <= kKeptCancellation;
    return kept ? ConfluentMethod::SeriesOrExpansion : ConfluentMethod::Extended;
}

}  // namespace

namespace {

bool allFinite(double a, double b, double x) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(x);
}

// With a NaN or an infinite argument, the double-precision evaluation's
// result or error as it comes.
double seriesOrExpansionAsIs(double a, double b, double x) {
    const SeriesValue series = confluentPowerSeries(a, b, x);
    if (series.err < kAcceptedPowerSeriesError) return series.sum;
    const SeriesValue expansion = confluentAsymptotic(a, b, x);
    return expansion.err < series.err ? expansion.sum : series.sum;
}

}  // namespace

ConfluentMethod confluentMethod(double a, double b, double x) {
    if (!allFinite(a, b, x)) return ConfluentMethod::SeriesOrExpansion;
    return chooseMethod(seriesAndExpansion(a, b, x));
}

double confluentHypergeometric(double a, double b, double x) {
    if (!allFinite(a, b, x)) return seriesOrExpansionAsIs(a, b, x);
    const SeriesAndExpansion found = seriesAndExpansion(a, b, x);
    switch (chooseMethod(found)) {
        case ConfluentMethod::SeriesOrExpansion:
            return found.value;
        case ConfluentMethod::Extended:
            break;
    }
    return confluentExtended(a, b, x);
}

void tabulMhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& x) {
    requireRealArguments({&a, &b, &x});
    res.re = confluentHypergeometric(a.re, b.re, x.re);
    res.im = 0.0;
}

}  // namespace Oru
