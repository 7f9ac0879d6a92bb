#include "numeric/hypergeometric/confluent.hpp"

#include <cmath>

#include "numeric/core/constants.hpp"
#include "numeric/gamma/real_gamma.hpp"
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

// With finite arguments an infinite value is beyond the double range and a
// NaN comes from infinite intermediate terms meeting each other: either is
// an overflow, not a result.
double checkedForOverflow(double value, double a, double b, double x) {
    if (std::isfinite(a) && std::isfinite(b) && std::isfinite(x) && !std::isfinite(value)) {
        Throw("overflow", kNoArgument);
    }
    return value;
}

}  // namespace

SeriesValue confluentPowerSeries(double a, double b, double x) {
    double an = a;
    double bn = b;
    double term = 1.0;
    double total = 1.0;
    double n = 1.0;
    double maxTerm = 0.0;
    do {
        if (an == 0.0) return {total, 0.0};  // the series has terminated
        if (n > kMaxTerms) Throw("overflow", kNoArgument);
        const double u = std::fabs(x) < kEpsilon ? 0.0 : (an / (n * bn)) * x;
        if (wouldBlowUp(u, maxTerm)) return {total, 1.0};
        term = term * u;
        total = total + term;
        if (std::fabs(term) > maxTerm) maxTerm = std::fabs(term);
        an = an + 1.0;
        bn = bn + 1.0;
        n = n + 1.0;
    } while (std::fabs(term) > kEpsilon);
    if (total != 0.0) maxTerm = maxTerm / std::fabs(total);
    return {total, std::fabs(maxTerm * kEpsilon + n * kEpsilon)};
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

SeriesValue confluentAsymptotic(double a, double b, double x) {
    if (x == 0.0) return {kBlowUp, 1.0};
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
    double error = std::fabs(e1) + std::fabs(e2);
    if (b < 0.0) {
        const double g = realGamma(b);
        value = value * g;
        error = error * std::fabs(g);
    }
    if (value != 0.0) error = error / std::fabs(value);
    return {value, error * kAsymptoticSafety};
}

double confluentHypergeometric(double a, double b, double x) {
    const SeriesValue power = confluentPowerSeries(a, b, x);
    if (power.err < kAcceptedPowerSeriesError) return checkedForOverflow(power.sum, a, b, x);
    const SeriesValue asymptotic = confluentAsymptotic(a, b, x);
    return checkedForOverflow(asymptotic.err < power.err ? asymptotic.sum : power.sum, a, b, x);
}

void tabulMhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& x) {
    requireRealArguments({&a, &b, &x});
    res.re = confluentHypergeometric(a.re, b.re, x.re);
    res.im = 0.0;
}

}  // namespace Oru
