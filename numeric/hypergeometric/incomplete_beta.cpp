#include "numeric/hypergeometric/incomplete_beta.hpp"

#include <cmath>

#include "numeric/core/constants.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "numeric/hypergeometric/real_arguments.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr double kPowerFormLimit = 1e-15;
constexpr double kEpsilon = 0x1p-52;
constexpr double kBig = 0x1p57;
constexpr double kBigInverse = 0x1p-57;
constexpr int kMaxPasses = 100;
constexpr double kLogUnderflow = -kLogExtendedMax;

// The running coefficients of a continued fraction whose convergents are
// formed two steps at a time; each pass gives the partial numerators
// -(k1 k2 / (k3 k4)) z and (k5 k6 / (k7 k8)) z and then moves the k by the
// steps in `step`.
struct FractionCoefficients {
    double k[8];
    double step[8];
};

// Runs the fraction: convergents p/q from the three-term recurrences,
// rescaled to stay in range, until two of them agree to 2^-52 or 100
// passes are used.
double evaluateFraction(FractionCoefficients c, double z, double (*firstNumerator)(const double*, double),
                        double (*secondNumerator)(const double*, double)) {
    double ans = 1.0;
    double r = 1.0;
    double p2 = 0.0;
    double q2 = 1.0;
    double p1 = 1.0;
    double q1 = 1.0;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        double d = firstNumerator(c.k, z);
        double p = d * p2 + p1;
        double q = d * q2 + q1;
        p2 = p1;
        p1 = p;
        q2 = q1;
        q1 = q;
        d = secondNumerator(c.k, z);
        p = d * p2 + p1;
        q = d * q2 + q1;
        p2 = p1;
        p1 = p;
        q2 = q1;
        q1 = q;
        if (q != 0.0) r = p / q;
        if (r != 0.0) {
            const double t = std::fabs((ans - r) / r);
            ans = r;
            if (t < kEpsilon) break;
        }
        for (int i = 0; i < 8; ++i) c.k[i] += c.step[i];
        if (std::fabs(p) + std::fabs(q) > kBig) {
            p2 *= kBigInverse;
            p1 *= kBigInverse;
            q2 *= kBigInverse;
            q1 *= kBigInverse;
        }
        if (std::fabs(q) < kEpsilon || std::fabs(p) < kEpsilon) {
            p2 *= kBig;
            p1 *= kBig;
            q2 *= kBig;
            q1 *= kBig;
        }
    }
    return ans;
}

// k[0..7] stand for k1..k8.
double firstNumeratorInX(const double* k, double x) {
    return -((k[1] * k[0] * x) / (k[3] * k[2]));
}
double secondNumeratorInX(const double* k, double x) {
    return (k[5] * k[4] * x) / (k[7] * k[6]);
}
double firstNumeratorInZ(const double* k, double z) {
    return -((z * k[1] * k[0]) / (k[3] * k[2]));
}
double secondNumeratorInZ(const double* k, double z) {
    return (z * k[5] * k[4]) / (k[7] * k[6]);
}

// I_x(1, b) = 1 - (1 - x)^b; for a vanishing b the power form loses all
// digits and -b ln(1 - x) takes over.
double firstParameterOne(double x, double b) {
    if (b == 1.0) return x;
    if (b > kPowerFormLimit) return 1.0 - std::pow(1.0 - x, b);
    return -(std::log(1.0 - x) * b);
}

}  // namespace

double betaContinuedFraction1(double a, double b, double x) {
    const FractionCoefficients c{{a, a + b, a, a + 1.0, 1.0, b - 1.0, a + 1.0, a + 2.0},
                                 {1.0, 1.0, 2.0, 2.0, 1.0, -1.0, 2.0, 2.0}};
    return evaluateFraction(c, x, firstNumeratorInX, secondNumeratorInX);
}

double betaContinuedFraction2(double a, double b, double x) {
    const double z = x / (1.0 - x);
    const FractionCoefficients c{{a, b - 1.0, a, a + 1.0, 1.0, a + b, a + 1.0, a + 2.0},
                                 {1.0, -1.0, 2.0, 2.0, 1.0, 1.0, 2.0, 2.0}};
    return evaluateFraction(c, z, firstNumeratorInZ, secondNumeratorInZ);
}

double incompleteBeta(double x, double a, double b) {
    if (a <= 0.0) Throw("must be positive", 2);
    if (b <= 0.0) Throw("must be positive", 3);
    if (x < 0.0 || x > 1.0) Throw("must be between\t0\t1", 1);
    if (x == 0.0) return 0.0;
    if (x == 1.0) return 1.0;
    if (a == 1.0) return firstParameterOne(x, b);
    // I_x(a, b) = 1 - I_(1-x)(b, a): the fractions converge best below the
    // mean a / (a + b). Not when 1 - x rounds to 1, though: the swapped
    // point would be the end point itself, where the second fraction's
    // z = x / (1 - x) is infinite, and a point that small needs no swap for
    // the fractions to converge.
    const double w = 1.0 - x;
    const bool swapped = a / (a + b) < x && w != 1.0;
    const double as = swapped ? b : a;
    const double bs = swapped ? a : b;
    const double xs = swapped ? w : x;
    const double cs = swapped ? x : w;

    double p = 0.0;
    double logPower = 0.0;
    if (as == 1.0 || ((bs + as - 2.0) * xs) / (as - 1.0) < 1.0) {
        p = betaContinuedFraction1(as, bs, xs);
        logPower = std::log(cs) * bs;
    } else {
        // This fraction carries an extra factor 1 / (1 - x).
        p = betaContinuedFraction2(as, bs, xs);
        logPower = std::log(cs) * (bs - 1.0);
    }
    // ln of x^a (1 - x)^b Gamma(a + b) / (a Gamma(a) Gamma(b)) times the fraction.
    const double gab = realLogGamma(as + bs);
    const double ga = realLogGamma(as);
    const double gb = realLogGamma(bs);
    const double l = std::log(p / as) + ((((as * std::log(xs) + gab) + logPower) - ga) - gb);
    if (l < kLogUnderflow) {
        if (!swapped) Throw("underflow", kNoArgument);
        return 1.0;
    }
    const double t = std::exp(l);
    return swapped ? 1.0 - t : t;
}

void tabulIbeta(tabulComplex& res, const tabulComplex& x, const tabulComplex& a, const tabulComplex& b) {
    requireRealArguments({&x, &a, &b});
    res.re = incompleteBeta(x.re, a.re, b.re);
    res.im = 0.0;
}

}  // namespace Oru
