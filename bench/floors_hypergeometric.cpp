#include <cmath>
#include <limits>

#include <benchmark/benchmark.h>

#include "bench/family_floors.hpp"
#include "numeric/core/constants.hpp"
#include "numeric/gamma/digamma.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "numeric/hypergeometric/complex_power.hpp"
#include "numeric/hypergeometric/confluent.hpp"
#include "oru/utility.hpp"

namespace OruBench {

namespace {

using namespace Oru;

constexpr double kEpsilon = 0x1p-52;
constexpr double kTolerance = 1e-13;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- Fhyper ---------------------------------------------------------------
//
// Each floor makes the tests that lead the plain evaluation to its method,
// then the method's operations; a point that a test would send elsewhere
// gives NaN, which the check against the kernel reports.

bool near(double v, double target) {
    return std::fabs(v - target) < kTolerance;
}

// A parameter that makes the series a polynomial: 0 or a negative integer.
bool isDegree(double v) {
    return v <= 0.0 && near(v, Oru::round(v));
}

// The origin, the reductions b = c and a = c, c a pole.
bool passesOpeningTests(double a, double b, double c, double x) {
    if (std::fabs(x) < kEpsilon) return false;
    if (near(b, c) || near(a, c)) return false;
    const double rc = Oru::round(c);
    return !(c < kTolerance && near(c, rc));
}

// Parameters clear of every rule before the transformations: no polynomial,
// and for |c - a - b| <= 10 neither c - a nor c - b a non-positive integer
// (Euler's transformation).
bool reachesTransformations(double a, double b, double c, double x) {
    if (isDegree(a) || isDegree(b) || !passesOpeningTests(a, b, c, x)) return false;
    const double d = (c - a) - b;
    if (!(std::fabs(d) <= 10.0)) return true;
    const double u = c - a;
    const double ru = Oru::round(u);
    if (ru <= 0.0 && near(u, ru)) return false;
    const double v = c - b;
    const double rv = Oru::round(v);
    return !(rv <= 0.0 && near(v, rv));
}

// The series, its sum in extended precision, until a term no longer changes it.
double series(double a, double b, double c, double x) {
    long double la = a;
    long double lb = b;
    long double lc = c;
    const long double lx = x;
    long double sum = 1.0L;
    long double term = 1.0L;
    long double k = 1.0L;
    long double change = 0.0L;
    for (int pass = 0; pass < 1000; ++pass) {
        term = ((((1.0L / lc) / k) * la) * lb) * (lx * term);
        const long double next = sum + term;
        la = la + 1.0L;
        lb = lb + 1.0L;
        lc = lc + 1.0L;
        k = k + 1.0L;
        if (next == sum) return static_cast<double>(sum);
        change = next - sum;
        sum = next;
    }
    if (std::fabs(change) > kTolerance) Throw("not converging", kNoArgument);
    return static_cast<double>(sum);
}

struct Parameters {
    double a, b, c, x;
};

// The kernel's argument checks: every argument real, then -1 < x < 1.
Parameters parametersOf(const tabulComplex* a) {
    for (unsigned k = 0; k < 4; ++k)
        if (a[k].im != 0.0) Throw("must be real", k + 1);
    if (a[3].re <= -1.0) Throw("domain error", 4);
    if (a[3].re >= 1.0) Throw("domain error", 4);
    return {a[0].re, a[1].re, a[2].re, a[3].re};
}

// Pfaff: (1 - x)^-a 2F1(a, c - b; c; x/(x - 1)), or the same with a and b
// exchanged when c - b >= c.
void fhyperPfaffFloor(tabulComplex& r, const tabulComplex* args) {
    const auto [a, b, c, x] = parametersOf(args);
    if (!reachesTransformations(a, b, c, x) || !(std::fabs((c - a) - b) <= 10.0) || !(x < -0.5)) {
        r.re = kNaN;
        return;
    }
    const tabulComplex s{1.0 - x, 0.0};
    const double z = -x * (1.0 / s.re);
    if (c - b < c) {
        r = complexMul(complexPowerReal(s, -a), {series(a, c - b, c, z), 0.0});
    } else {
        r = complexMul(complexPowerReal(s, -b), {series(c - a, b, c, z), 0.0});
    }
}

void fhyperDirectFloor(tabulComplex& r, const tabulComplex* args) {
    const auto [a, b, c, x] = parametersOf(args);
    const double d = (c - a) - b;
    const bool pfaff = std::fabs(d) <= 10.0 && x < -0.5;
    if (!reachesTransformations(a, b, c, x) || pfaff || x > 0.75) {
        r.re = kNaN;
        return;
    }
    // Every route past the transformations rounds c - a - b, this one
    // without using it.
    benchmark::DoNotOptimize(Oru::round(d));
    r.re = series(a, b, c, x);
}

// c - a - b not an integer: the connection to 1 - x.
void fhyperConnectionFloor(tabulComplex& r, const tabulComplex* args) {
    const auto [a, b, c, x] = parametersOf(args);
    const double d = (c - a) - b;
    if (!reachesTransformations(a, b, c, x) || !(x > 0.75) || !(std::fabs(d - Oru::round(d)) > 1e-10)) {
        r.re = kNaN;
        return;
    }
    const tabulComplex s{1.0 - x, 0.0};
    const double f1 = series(a, b, 1.0 - d, s.re);
    const double t1 = realGamma(d) * f1 / (realGamma(c - a) * realGamma(c - b));
    const double f2 = series(c - a, c - b, d + 1.0, s.re);
    const double t2 = realGamma(-d) * f2 / (realGamma(a) * realGamma(b));
    const double p = complexPowerReal(s, d).re;
    r.re = realGamma(c) * (t2 * p + t1);
}

// c - a - b = id an integer: the sum with digamma values and, for id != 0,
// the finite sum, in extended precision.
double logarithmicCase(double a, double b, double c, double d, double id, double sre) {
    const bool up = id >= 0.0;
    const double e = up ? d : -d;
    const double d1 = up ? d : 0.0;
    const double d2 = up ? 0.0 : d;
    const int m = up ? static_cast<int>(id) : -static_cast<int>(id);
    const long double ad = static_cast<long double>(a) + d1;
    const long double bd = static_cast<long double>(b) + d1;
    const long double onePlusE = 1.0L + e;
    const long double logS = std::log(static_cast<long double>(sre));
    long double y = (static_cast<long double>(digamma(1.0)) + digamma(static_cast<double>(onePlusE)) -
                     digamma(static_cast<double>(ad)) - digamma(static_cast<double>(bd)) - logS) /
                    realGamma(e + 1.0);
    long double p = sre * bd * ad / realGamma(e + 2.0);
    for (long double t = 1.0L;; t = t + 1.0L) {
        const long double q = static_cast<long double>(digamma(static_cast<double>(1.0L + t))) +
                              digamma(static_cast<double>(onePlusE + t)) -
                              digamma(static_cast<double>(ad + t)) - digamma(static_cast<double>(bd + t)) -
                              logS;
        const long double next = q * p + y;
        if (next == y || t > 999.0L) break;
        y = next;
        p = sre * (ad + t) * p / (1.0L + t) * (bd + t) / (onePlusE + t);
    }
    const double gc = realGamma(c);
    if (m == 0) return static_cast<double>(gc * y / (realGamma(a) * realGamma(b)));
    const long double a2 = static_cast<long double>(a) + d2;
    const long double b2 = static_cast<long double>(b) + d2;
    long double y1 = 1.0L;
    long double term = 1.0L;
    for (int k = 1; k < m; ++k) {
        const long double t = k - 1;
        term = (((b2 + t) / ((1.0L - e) + t)) * (a2 + t) * sre * term) / (t + 1.0L);
        y1 = y1 + term;
    }
    y1 = realGamma(e) * y1 * gc / (static_cast<long double>(realGamma(a + d1)) * realGamma(b + d1));
    y = y * gc / (static_cast<long double>(realGamma(a + d2)) * realGamma(b + d2));
    if ((m & 1) != 0) y = -y;
    const long double power = std::pow(static_cast<long double>(sre), static_cast<long double>(id));
    return static_cast<double>(id >= 1.0 ? y1 + y * power : power * y1 + y);
}

void fhyperLogarithmicFloor(tabulComplex& r, const tabulComplex* args) {
    const auto [a, b, c, x] = parametersOf(args);
    const double d = (c - a) - b;
    const double rd = Oru::round(d);
    if (!reachesTransformations(a, b, c, x) || !(x > 0.75) || std::fabs(d - rd) > 1e-10) {
        r.re = kNaN;
        return;
    }
    r.re = logarithmicCase(a, b, c, d, rd, 1.0 - x);
}

// a a non-positive integer: the series ends as a polynomial.
void fhyperPolynomialFloor(tabulComplex& r, const tabulComplex* args) {
    const auto [a, b, c, x] = parametersOf(args);
    const double ra = Oru::round(a);
    if (!(a <= 0.0 && near(a, ra)) || isDegree(b) || !passesOpeningTests(a, b, c, x)) {
        r.re = kNaN;
        return;
    }
    r.re = series(ra, b, c, x);
}

// ---- Mhyper ---------------------------------------------------------------

// The power series with its estimate of roundoff and cancellation; where the
// estimate is not below 1e-6 the asymptotic expansion as well, the smaller
// estimate answering.
void mhyperFloor(tabulComplex& r, const tabulComplex* args) {
    const double a = args[0].re;
    const double b = args[1].re;
    const double x = args[2].re;
    double an = a, bn = b, n = 1.0;
    double term = 1.0, sum = 1.0, largest = 0.0;
    double err = -1.0;
    do {
        if (an == 0.0) {
            err = 0.0;
            break;
        }
        if (n > 200.0) Throw("overflow", kNoArgument);
        const double u = std::fabs(x) < kEpsilon ? 0.0 : (an / (n * bn)) * x;
        if (std::fabs(u) > 1.0 && largest > 1e307 / std::fabs(u)) {
            err = 1.0;
            break;
        }
        term = term * u;
        sum = sum + term;
        if (std::fabs(term) > largest) largest = std::fabs(term);
        an = an + 1.0;
        bn = bn + 1.0;
        n = n + 1.0;
    } while (std::fabs(term) > kEpsilon);
    if (err < 0.0) {
        if (sum != 0.0) largest = largest / std::fabs(sum);
        err = std::fabs(largest * kEpsilon + n * kEpsilon);
    }
    r.re = sum;
    if (err < 1e-6) return;
    const SeriesValue expansion = confluentAsymptotic(a, b, x);
    if (expansion.err < err) r.re = expansion.sum;
}

// ---- Ibeta ----------------------------------------------------------------

// The continued fraction, its convergents two steps a pass, at most 100
// passes. k[0..7] stand for k1..k8; the second fraction in z = x / (1 - x)
// forms its numerators with z first.
double betaFraction(double (&k)[8], const double (&step)[8], double z, bool second) {
    double ans = 1.0, r = 1.0;
    double p2 = 0.0, q2 = 1.0, p1 = 1.0, q1 = 1.0;
    const auto scale = [&](double f) { p2 *= f, p1 *= f, q2 *= f, q1 *= f; };
    for (int pass = 0; pass < 100; ++pass) {
        const double d1 =
            second ? -((z * k[1] * k[0]) / (k[3] * k[2])) : -((k[1] * k[0] * z) / (k[3] * k[2]));
        double p = d1 * p2 + p1;
        double q = d1 * q2 + q1;
        p2 = p1, p1 = p, q2 = q1, q1 = q;
        const double d2 = second ? (z * k[5] * k[4]) / (k[7] * k[6]) : (k[5] * k[4] * z) / (k[7] * k[6]);
        p = d2 * p2 + p1;
        q = d2 * q2 + q1;
        p2 = p1, p1 = p, q2 = q1, q1 = q;
        if (q != 0.0) r = p / q;
        if (r != 0.0) {
            const double t = std::fabs((ans - r) / r);
            ans = r;
            if (t < kEpsilon) break;
        }
        for (int i = 0; i < 8; ++i) k[i] += step[i];
        if (std::fabs(p) + std::fabs(q) > 0x1p57) scale(0x1p-57);
        if (std::fabs(q) < kEpsilon || std::fabs(p) < kEpsilon) scale(0x1p57);
    }
    return ans;
}

void ibetaFloor(tabulComplex& r, const tabulComplex* args) {
    const double x = args[0].re;
    const double a = args[1].re;
    const double b = args[2].re;
    if (a <= 0.0) Throw("must be positive", 2);
    if (b <= 0.0) Throw("must be positive", 3);
    if (x < 0.0 || x > 1.0) Throw("must be between\t0\t1", 1);
    if (x == 0.0 || x == 1.0 || a == 1.0) {
        r.re = kNaN;  // closed forms, outside the pools
        return;
    }
    const double w = 1.0 - x;
    const bool swapped = a / (a + b) < x;
    const double as = swapped ? b : a;
    const double bs = swapped ? a : b;
    const double xs = swapped ? w : x;
    const double cs = swapped ? x : w;
    const bool second = !(as == 1.0 || ((bs + as - 2.0) * xs) / (as - 1.0) < 1.0);
    double p;
    if (second) {
        double k[8] = {as, bs - 1, as, as + 1, 1, as + bs, as + 1, as + 2};
        p = betaFraction(k, {1, -1, 2, 2, 1, 1, 2, 2}, xs / cs, true);
    } else {
        double k[8] = {as, as + bs, as, as + 1, 1, bs - 1, as + 1, as + 2};
        p = betaFraction(k, {1, 1, 2, 2, 1, -1, 2, 2}, xs, false);
    }
    const double logPower = std::log(cs) * (second ? bs - 1.0 : bs);
    const double l =
        std::log(p / as) +
        ((((as * std::log(xs) + realLogGamma(as + bs)) + logPower) - realLogGamma(as)) - realLogGamma(bs));
    if (l < -kLogExtendedMax) {
        if (!swapped) Throw("underflow", kNoArgument);
        r.re = 1.0;
        return;
    }
    const double t = std::exp(l);
    r.re = swapped ? 1.0 - t : t;
}

constexpr FloorEntry kFloors[] = {
    {"Fhyper", "x < -0.5 (Pfaff)", &fhyperPfaffFloor},
    {"Fhyper", "-0.5 <= x <= 0.75 (direct series)", &fhyperDirectFloor},
    {"Fhyper", "x > 0.75, c-a-b not integer (connection)", &fhyperConnectionFloor, true},
    {"Fhyper", "x > 0.75, c-a-b integer (logarithmic case)", &fhyperLogarithmicFloor, true},
    {"Fhyper", "a = -2..-20 (terminating polynomial)", &fhyperPolynomialFloor, true},
    {"Mhyper", "x in -10..10 (power series kept)", &mhyperFloor},
    {"Mhyper", "x in 30..50 (long power series kept)", &mhyperFloor},
    {"Ibeta", "first continued fraction, a, b < 20", &ibetaFloor},
    {"Ibeta", "second continued fraction, a, b < 20", &ibetaFloor},
};

}  // namespace

std::span<const FloorEntry> hypergeometricFloors() {
    return kFloors;
}

}  // namespace OruBench
