#include "numeric/hypergeometric/incomplete_beta.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "numeric/core/constants.hpp"
#include "numeric/gamma/real_gamma.hpp"
#include "numeric/hypergeometric/beta_prefactor.hpp"
#include "numeric/hypergeometric/real_arguments.hpp"
#include "numeric/hypergeometric/small_parameter_beta.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr double kPowerFormLimit = 1e-15;
constexpr double kEpsilon = 0x1p-52;
constexpr double kBig = 0x1p57;
constexpr double kBigInverse = 0x1p-57;
// The passes within which a fraction is first expected to settle. Near the
// mean the fractions need about sqrt(min(a, b)) passes (600 at a = b = 1e6,
// 3700 at 1e8), and more still in the slow zone of a small b (see
// chooseMethod); a fraction still moving by more than 1e-13 after the cap
// raises "not converging".
constexpr int kFirstPasses = 100;
constexpr int kMaxPasses = 5000;
constexpr double kSettled = 1e-13;
constexpr double kLogUnderflow = -kLogExtendedMax;
// The regions of the other methods, measured against high-precision values
// (see chooseMethod).
constexpr double kSmallParameter = 1.0;
constexpr double kTinyFirstParameter = 1e-3;
constexpr double kLargeParameter = 20.0;

// The ways of evaluating I_x(a, b), once the arguments are swapped so that x
// lies below the mean (as, bs, xs below, and cs = 1 - xs).
enum class IbetaMethod {
    Fractions,        // the continued fractions with ln Gamma values as doubles
    WideFractions,    // the same in extended precision, the prefactor without cancellation
    ComplementFirst,  // swapped, the series in a tiny as at xs, whose result 1 - I_xs(as, bs) is near 0
};

// After a swap the result is 1 - I_xs(as, bs), which cancels where a tiny as
// makes I_xs(as, bs) close to 1 (measured: beyond 64 units of 2^-52 for as up
// to 4e-5, below a tenth of that from 1e-4 on). Large parameters make
// ln Gamma(a + b) - ln Gamma(a) - ln Gamma(b) a difference of large terms
// (measured: beyond 64 units from about 50 on, below half of that up to 20).
// In either fraction method, the fraction runs first for 100 passes; where it
// has not settled in the slow zone of a small bs (seriesCanTakeOver), the
// series in bs takes its place, and elsewhere the fraction runs on.
IbetaMethod chooseMethod(double as, double bs, bool swapped) {
    if (swapped && as < kTinyFirstParameter) return IbetaMethod::ComplementFirst;
    if (std::max(as, bs) >= kLargeParameter) return IbetaMethod::WideFractions;
    return IbetaMethod::Fractions;
}

// The fractions converge fast below x = (a + 1)/(a + b + 2), a little below
// the mean; with a small b the mean lies close to 1 and between the two they
// crawl (hundreds to millions of passes), while 1 - I, near 1, is itself the
// value: there the series in the small parameter serves, accurate to a unit
// of 2^-52 for b < 1 (measured; beyond 64 units from b = 1.5 on).
bool seriesCanTakeOver(double as, double bs, double xs) {
    return bs < kSmallParameter && xs > (as + 1.0) / (as + bs + 2.0);
}

// The running coefficients of a continued fraction whose convergents are
// formed two steps at a time; each pass gives the partial numerators
// -(k1 k2 / (k3 k4)) z and (k5 k6 / (k7 k8)) z and then moves the k by the
// steps in `step`. Real is double, or long double where the large parameters
// need the wider sums and the swapped point 1 - x unrounded.
template <class Real>
struct FractionCoefficients {
    Real k[8];
    Real step[8];
};

// The last convergent and the relative change that led to it.
template <class Real>
struct FractionOutcome {
    Real value;
    Real change;
};

// Runs the fraction: convergents p/q from the three-term recurrences,
// rescaled to stay in range, until two of them agree to 2^-52 or passLimit
// passes are used.
template <class Real>
FractionOutcome<Real> evaluateFraction(FractionCoefficients<Real> c, Real z,
                                       Real (*firstNumerator)(const Real*, Real),
                                       Real (*secondNumerator)(const Real*, Real), int passLimit) {
    Real ans = 1.0;
    Real r = 1.0;
    Real t = 1.0;
    Real p2 = 0.0;
    Real q2 = 1.0;
    Real p1 = 1.0;
    Real q1 = 1.0;
    for (int pass = 0; pass < passLimit; ++pass) {
        Real d = firstNumerator(c.k, z);
        Real p = d * p2 + p1;
        Real q = d * q2 + q1;
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
            t = std::fabs((ans - r) / r);
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
    return {ans, t};
}

// k[0..7] stand for k1..k8.
template <class Real>
Real firstNumeratorInX(const Real* k, Real x) {
    return -((k[1] * k[0] * x) / (k[3] * k[2]));
}
template <class Real>
Real secondNumeratorInX(const Real* k, Real x) {
    return (k[5] * k[4] * x) / (k[7] * k[6]);
}
template <class Real>
Real firstNumeratorInZ(const Real* k, Real z) {
    return -((z * k[1] * k[0]) / (k[3] * k[2]));
}
template <class Real>
Real secondNumeratorInZ(const Real* k, Real z) {
    return (z * k[5] * k[4]) / (k[7] * k[6]);
}

// The first fraction at x, or the second at z = x / (1 - x) = x / y.
template <class Real>
FractionOutcome<Real> fraction(Real a, Real b, Real x, Real y, bool second, int passLimit) {
    if (second) {
        const FractionCoefficients<Real> c{{a, b - 1, a, a + 1, 1, a + b, a + 1, a + 2},
                                           {1, -1, 2, 2, 1, 1, 2, 2}};
        return evaluateFraction<Real>(c, x / y, firstNumeratorInZ<Real>, secondNumeratorInZ<Real>, passLimit);
    }
    const FractionCoefficients<Real> c{{a, a + b, a, a + 1, 1, b - 1, a + 1, a + 2},
                                       {1, 1, 2, 2, 1, -1, 2, 2}};
    return evaluateFraction<Real>(c, x, firstNumeratorInX<Real>, secondNumeratorInX<Real>, passLimit);
}

// The fraction's value: settled within the first 100 passes, or, where the
// series cannot take over, within the cap ("not converging" beyond it).
// Nothing where the series takes over.
template <class Real>
std::optional<Real> settledFraction(Real a, Real b, Real x, Real y, bool second, bool seriesMayTakeOver) {
    const FractionOutcome<Real> first = fraction(a, b, x, y, second, kFirstPasses);
    if (first.change < kEpsilon) return first.value;
    if (seriesMayTakeOver) return std::nullopt;
    const FractionOutcome<Real> last = fraction(a, b, x, y, second, kMaxPasses);
    if (last.change > kSettled) Throw("not converging", kNoArgument);
    return last.value;
}

// I_x(1, b) = 1 - (1 - x)^b; for a vanishing b the power form loses all
// digits and -b ln(1 - x) takes over.
double firstParameterOne(double x, double b) {
    if (b == 1.0) return x;
    if (b > kPowerFormLimit) return 1.0 - std::pow(1.0 - x, b);
    return -(std::log(1.0 - x) * b);
}

// ln of x^a (1 - x)^b Gamma(a + b) / (a Gamma(a) Gamma(b)) times the fraction p,
// with the logarithms of the Gamma values rounded to doubles; the second
// fraction carries an extra factor 1 / (1 - x).
double logOfFractionTerm(double p, double a, double b, double x, double y, bool second) {
    const double logPower = std::log(y) * (second ? b - 1.0 : b);
    const double gab = realLogGamma(a + b);
    const double ga = realLogGamma(a);
    const double gb = realLogGamma(b);
    return std::log(p / a) + ((((a * std::log(x) + gab) + logPower) - ga) - gb);
}

// The same for large parameters, where those logarithms are large and cancel,
// all in extended precision: the fraction at the swapped point formed from x
// without rounding 1 - x to a double (the fraction's sensitivity to that point
// grows like 1 / (1 - point)), and the prefactor from the unswapped x, a, b,
// under whose swap it is symmetric.
std::optional<double> logOfWideFractionTerm(double as, double bs, double x, double a, double b, bool swapped,
                                            bool second, bool seriesMayTakeOver) {
    const long double lx = x;
    const long double xs = swapped ? 1.0L - lx : lx;
    const long double cs = swapped ? lx : 1.0L - lx;
    const std::optional<long double> p =
        settledFraction<long double>(as, bs, xs, cs, second, seriesMayTakeOver);
    if (!p) return std::nullopt;
    const long double logCs = swapped ? std::log(lx) : std::log1p(-lx);
    const long double extra = second ? logCs : 0.0L;
    return static_cast<double>(std::log(*p / as) + logBetaPrefactor(x, a, b) - extra);
}

}  // namespace

double betaContinuedFraction1(double a, double b, double x) {
    return *settledFraction<double>(a, b, x, 1.0 - x, false, false);
}

double betaContinuedFraction2(double a, double b, double x) {
    return *settledFraction<double>(a, b, x, 1.0 - x, true, false);
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
    const IbetaMethod method = chooseMethod(as, bs, swapped);
    if (method == IbetaMethod::ComplementFirst) return smallParameterBeta(as, bs, xs, true);

    // The second fraction, in z = x / (1 - x), carries an extra factor 1 / (1 - x).
    const bool second = !(as == 1.0 || ((bs + as - 2.0) * xs) / (as - 1.0) < 1.0);
    const bool seriesMayTakeOver = seriesCanTakeOver(as, bs, xs);
    std::optional<double> l;
    if (method == IbetaMethod::Fractions) {
        const std::optional<double> p = settledFraction<double>(as, bs, xs, cs, second, seriesMayTakeOver);
        if (p) l = logOfFractionTerm(*p, as, bs, xs, cs, second);
    } else {
        l = logOfWideFractionTerm(as, bs, x, a, b, swapped, second, seriesMayTakeOver);
    }
    // I_xs(as, bs) = 1 - I_cs(bs, as): the swapped result is I_cs(bs, as) itself.
    if (!l) return smallParameterBeta(bs, as, cs, !swapped);
    if (*l < kLogUnderflow) {
        if (!swapped) Throw("underflow", kNoArgument);
        return 1.0;
    }
    const double t = std::exp(*l);
    return swapped ? 1.0 - t : t;
}

void tabulIbeta(tabulComplex& res, const tabulComplex& x, const tabulComplex& a, const tabulComplex& b) {
    requireRealArguments({&x, &a, &b});
    res.re = incompleteBeta(x.re, a.re, b.re);
    res.im = 0.0;
}

}  // namespace Oru
