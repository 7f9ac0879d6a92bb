#include "numeric/hypergeometric/confluent.hpp"

#include <cmath>

#include "numeric/gamma/real_gamma.hpp"
#include "numeric/hypergeometric/real_arguments.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr unsigned kNoArgument = 0xFFFFFFFFu;
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

double logGammaOf(double v) {
    double result = 0.0;
    realLogGamma(v, result);
    return result;
}

}  // namespace

const char* confluentPowerSeries(double a, double b, double x, double& err, double& sum) {
    sum = 0.0;
    double an = a;
    double bn = b;
    double term = 1.0;
    double total = 1.0;
    double n = 1.0;
    double maxTerm = 0.0;
    do {
        if (an == 0.0) {  // the series has terminated
            err = 0.0;
            sum = total;
            return nullptr;
        }
        if (n > kMaxTerms) return "overflow";
        const double u = std::fabs(x) < kEpsilon ? 0.0 : (an / (n * bn)) * x;
        if (wouldBlowUp(u, maxTerm)) {
            err = 1.0;
            sum = total;
            return nullptr;
        }
        term = term * u;
        total = total + term;
        if (std::fabs(term) > maxTerm) maxTerm = std::fabs(term);
        an = an + 1.0;
        bn = bn + 1.0;
        n = n + 1.0;
    } while (std::fabs(term) > kEpsilon);
    if (total != 0.0) maxTerm = maxTerm / std::fabs(total);
    err = std::fabs(maxTerm * kEpsilon + n * kEpsilon);
    sum = total;
    return nullptr;
}

void hypergeometric2F0(double a, double b, double x, int type, double& err, double& sum) {
    sum = 0.0;
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
        if (wouldBlowUp(u, maxTerm)) {
            err = kBlowUp;
            sum = total;
            return;
        }
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
    if (converged) {
        err = std::fabs((maxTerm + n) * kEpsilon);
        sum = total + term;
        return;
    }
    const double added = n - 1.0;
    last = last * convergingFactor(type, a, b, 1.0 / x, added);
    err = (maxTerm + added) * kEpsilon + std::fabs(term);
    sum = total + last;
}

void confluentAsymptotic(double a, double b, double x, double& err, double& sum) {
    sum = 0.0;
    if (x == 0.0) {
        sum = kBlowUp;
        err = 1.0;
        return;
    }
    const double logX = std::log(std::fabs(x));
    double t = (a - b) * logX + x;
    double u = -(logX * a);
    if (b > 0.0) {
        const double g = logGammaOf(b);
        t = t + g;
        u = u + g;
    }
    // M(a, b, x) / Gamma(b) ~ |x|^-a / Gamma(b - a) 2F0(a, a - b + 1; ; -1/x)
    //                       + e^x x^(a - b) / Gamma(a) 2F0(b - a, 1 - a; ; 1/x).
    double h1 = 0.0;
    double e1 = 0.0;
    hypergeometric2F0(a, a - b + 1.0, -1.0 / x, 1, e1, h1);
    const double f1 = std::exp(u) / realGamma(b - a);
    h1 = h1 * f1;
    e1 = e1 * f1;
    double h2 = 0.0;
    double e2 = 0.0;
    hypergeometric2F0(b - a, 1.0 - a, 1.0 / x, 2, e2, h2);
    const double f2 = a < 0.0 ? std::exp(t) / realGamma(a) : std::exp(t - logGammaOf(a));
    h2 = h2 * f2;
    e2 = e2 * f2;
    double value = x < 0.0 ? h1 : h2;
    double error = std::fabs(e1) + std::fabs(e2);
    if (b < 0.0) {
        const double g = realGamma(b);
        value = value * g;
        error = error * std::fabs(g);
    }
    if (value != 0.0) error = error / std::fabs(value);
    err = error * kAsymptoticSafety;
    sum = value;
}

void confluentHypergeometric(double a, double b, double x, double& result) {
    result = 0.0;
    double powerSum = 0.0;
    double powerErr = 0.0;
    if (const char* failure = confluentPowerSeries(a, b, x, powerErr, powerSum)) {
        Throw(failure, kNoArgument);
    }
    if (powerErr < kAcceptedPowerSeriesError) {
        result = checkedForOverflow(powerSum, a, b, x);
        return;
    }
    double asymptoticSum = 0.0;
    double asymptoticErr = 0.0;
    confluentAsymptotic(a, b, x, asymptoticErr, asymptoticSum);
    result = checkedForOverflow(asymptoticErr < powerErr ? asymptoticSum : powerSum, a, b, x);
}

void tabulMhyper(tabulComplex& res, const tabulComplex& a, const tabulComplex& b, const tabulComplex& x) {
    requireRealArguments({&a, &b, &x});
    double value = 0.0;
    confluentHypergeometric(a.re, b.re, x.re, value);
    res.re = value;
    res.im = 0.0;
}

}  // namespace Oru
