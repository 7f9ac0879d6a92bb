#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numeric/gamma/complex_gamma.hpp"
#include "numeric/gamma/incomplete_gamma.hpp"
#include "numeric/gamma/log_gamma.hpp"
#include "numeric/hypergeometric/incomplete_beta.hpp"
#include "oru/utility.hpp"
#include "tests/numeric/kernel_error.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr double kE = 2.718281828459045;
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

using Kernel = void (*)(tabulComplex&, const tabulComplex&, const tabulComplex&);

double call(Kernel kernel, double a, double x) {
    tabulComplex r{0.0, 1.0};
    kernel(r, {a, 0.0}, {x, 0.0});
    EXPECT_EQ(r.im, 0.0);
    return r.re;
}

double igamma(double a, double x) {
    return call(tabulIgamma, a, x);
}
double gamma2(double a, double x) {
    return call(tabulGamma2, a, x);
}

// "message index" of the error raised, or "no error".
std::string raised(Kernel kernel, tabulComplex a, tabulComplex x) {
    tabulComplex r{7.0, 8.0};
    try {
        kernel(r, a, x);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(r.re, 7.0);
        return e.Message() + " " + std::to_string(static_cast<int>(e.Argument()));
    }
    return "no error";
}

// |computed / reference - 1| in units of 2^-52.
double unitsOff(double computed, double reference) {
    return std::fabs(computed / reference - 1.0) / 0x1p-52;
}

}  // namespace

TEST(Igamma, TruncatedOrderAndLimits) {
    EXPECT_NEAR(igamma(2.9, 1.0), 1.0 - 2.0 / kE, 2e-16);
    EXPECT_EQ(igamma(0.5, 1.0), 0.0);
    EXPECT_EQ(igamma(-1.5, 1.0), 0.0);
    EXPECT_EQ(igamma(-1e300, 2.0), 0.0);  // truncated as a double
    EXPECT_TRUE(std::isnan(igamma(kNaN, -2.0)));
    EXPECT_TRUE(std::isnan(igamma(3.0, kNaN)));
    // Q below the extended range: P is exactly 1, not an underflow.
    EXPECT_EQ(igamma(1.0, 20000.0), 1.0);
    EXPECT_EQ(igamma(3.0, kInf), 1.0);
    // x = 1 takes the series, just above 1 the fraction.
    EXPECT_NEAR(igamma(1.0, 1.0), 1.0 - 1.0 / kE, 2e-16);
    EXPECT_NEAR(igamma(1.0, std::nextafter(1.0, 2.0)), 1.0 - 1.0 / kE, 4e-16);
    // P + Q = 1 on both sides of the hand-over.
    EXPECT_NEAR(igamma(5.0, 7.0) + gamma2(5.0, 7.0) / 24.0, 1.0, 4e-16);
    EXPECT_NEAR(igamma(100.0, 100.0) + gamma2(100.0, 100.0) / Factorial(99), 1.0, 1e-13);
}

TEST(UpperGamma, TailKeepsItsDigits) {
    for (const double x : {0.5, 20.0, 40.0, 700.0}) {
        EXPECT_NEAR(gamma2(1.0, x) / std::exp(-x), 1.0, 4e-16) << x;
    }
    EXPECT_NEAR(gamma2(0.5, 1.0), 0.27880558528066197650, 1e-15);  // sqrt(pi) erfc(1)
    EXPECT_EQ(gamma2(5.0, 0.0), 24.0);
    EXPECT_EQ(gamma2(3.0, kInf), 0.0);
    // Gamma(a) beyond the double range, Gamma(a, x) within it.
    EXPECT_NEAR(gamma2(172.0, 300.0) / 4.5880709617858822559e+293, 1.0, 1e-14);
    EXPECT_NEAR(gamma2(200.0, 2000.0) / 2.2987672564663627783e-212, 1.0, 1e-13);
    EXPECT_EQ(gamma2(172.0, kInf), 0.0);
    EXPECT_TRUE(std::isnan(gamma2(1.0, kNaN)));
}

TEST(IncompleteGamma, ErrorsInCheckingOrder) {
    EXPECT_EQ(raised(tabulIgamma, {1.0, 1.0}, {1.0, 1.0}), "must be real 1");
    EXPECT_EQ(raised(tabulIgamma, {1.0, 0.0}, {1.0, kNaN}), "must be real 2");
    EXPECT_EQ(raised(tabulIgamma, {100.0, 0.0}, {1e-300, 0.0}), "underflow -1");
    EXPECT_EQ(raised(tabulIgamma, {3e9, 0.0}, {2.0, 0.0}), "underflow -1");
    EXPECT_EQ(raised(tabulGamma2, {1.0, 1.0}, {-1.0, 1.0}), "must be real 1");
    EXPECT_EQ(raised(tabulGamma2, {-1.0, 0.0}, {1.0, 1.0}), "must be non-negative 1");
    EXPECT_EQ(raised(tabulGamma2, {1.0, 0.0}, {1.0, 1.0}), "must be real 2");
    EXPECT_EQ(raised(tabulGamma2, {1.0, 0.0}, {-1.0, 0.0}), "must be non-negative 2");
    EXPECT_EQ(raised(tabulGamma2, {0.0, 0.0}, {1.0, 0.0}), "singularity -1");
    EXPECT_EQ(raised(tabulGamma2, {1.0, 0.0}, {1e6, 0.0}), "underflow -1");
    EXPECT_EQ(raised(tabulGamma2, {20000.0, 0.0}, {1.0, 0.0}), "overflow -1");
    EXPECT_EQ(raised(tabulGamma2, {1e300, 0.0}, {2e300, 0.0}), "overflow -1");
}

// The edges of the gamma family's ranges against high-precision values; the
// bounds are the measured errors (in units of 2^-52) rounded up.
TEST(GammaFamily, EdgesOfTheRanges) {
    tabulComplex g{0.0, 0.0};
    // Gamma of a real x: the zero imaginary part keeps its sign, a NaN stays a
    // NaN, and 1/x beyond the double range gives the infinity of its sign.
    tabulGamma1(g, {-0.5, 0.0});
    EXPECT_LE(unitsOff(g.re, -3.5449077018110320546), 2.0);
    EXPECT_TRUE(std::signbit(g.im));
    tabulGamma1(g, {kNaN, 0.0});
    EXPECT_TRUE(std::isnan(g.im));
    tabulGamma1(g, {5e-324, 0.0});
    EXPECT_EQ(g.re, kInf);
    EXPECT_EQ(g.im, 0.0);
    tabulGamma1(g, {-1e-310, 0.0});
    EXPECT_EQ(g.re, -kInf);
    // Gamma(a, x) beyond and below the double range, and representable values
    // whose Gamma(a) or regularized exponent is not.
    EXPECT_EQ(kernelError(tabulGamma2, tabulComplex{2272.837409442042, 0.0},
                          tabulComplex{1.7926869773903638e-09, 0.0}),
              "overflow@-1");
    EXPECT_EQ(kernelError(tabulGamma2, tabulComplex{500.0, 0.0}, tabulComplex{14000.0, 0.0}), "underflow@-1");
    EXPECT_LE(unitsOff(gamma2(1700.0, 17000.0), 3.7346595809577853613e-196), 8.0);
    EXPECT_LE(unitsOff(gamma2(68.95245336855862, 1124.9171416428474), 6.4990867503757651752e-282), 8.0);
    EXPECT_LE(unitsOff(gamma2(100.0, 1e-300), 9.3326215443944152682e155), 2.0);
    // Small orders and points: no cancellation of Gamma(a) - gamma(a, x).
    EXPECT_LE(unitsOff(gamma2(1.6504816176959869e-12, 1.4854334125583013e-12), 26.658098860437651849), 2.0);
    EXPECT_LE(unitsOff(gamma2(0.10393638432240508, 0.6819160945402812), 0.39399132364604378172), 4.0);
    // Large integer orders: the prefactor without its cancellation (the
    // condition in x is about 2500 and 17000 here).
    EXPECT_LE(unitsOff(igamma(9803834.0, 9787586.807273926), 1.0417833472433213983e-07), 800.0);
    EXPECT_LE(unitsOff(igamma(1e7, 1e7), 0.50004205220872369833), 800.0);
    // ln Gamma of real arguments beyond 11355.83, up to where it leaves the range.
    EXPECT_LE(unitsOff(complexLnGamma(11356.0, 0.0).re, 94676.917428897211560), 1.0);
    EXPECT_LE(unitsOff(complexLnGamma(1e6, 0.0).re, 12815504.569147611660), 1.0);
    EXPECT_EQ(kernelError(tabulLnGamma, tabulComplex{2.6e305, 0.0}), "overflow@-1");
    // Ibeta with a + b beyond 11355.83, and near the ends with a small parameter
    // (the fraction's slow zone, and the complement of a value near 1).
    EXPECT_LE(unitsOff(incompleteBeta(0.5, 6000.0, 6000.0), 0.5), 2.0);
    EXPECT_LE(unitsOff(incompleteBeta(0.9999616791473479, 913.0975591132521, 0.0014998302224567073),
                       0.0042083962237757816848),
              2.0);
    EXPECT_LE(unitsOff(incompleteBeta(0.0005970628645552873, 0.004443712089341444, 23.20040246474703),
                       0.98351561600047296115),
              2.0);
    EXPECT_LE(unitsOff(incompleteBeta(0.9990644970125492, 0.0016206253644982177, 2.01419500771361e-06),
                       0.0012553307994365775173),
              2.0);
    EXPECT_LE(unitsOff(incompleteBeta(1.1968669725205807e-07, 0.15675114308264046, 447319.2693565669),
                       0.67409971201994700723),
              2.0);
}
