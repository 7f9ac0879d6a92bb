#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numeric/hypergeometric/gauss.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kLargestBelowOne = 0.9999999999999999;

double fhyper(double a, double b, double c, double x) {
    tabulComplex r{0.0, 0.0};
    tabulFhyper(r, {a, 0.0}, {b, 0.0}, {c, 0.0}, {x, 0.0});
    return r.re;
}

// The message with the argument index appended; also checks that the
// kernel leaves res alone when it raises.
std::string fhyperError(tabulComplex a, tabulComplex b, tabulComplex c, tabulComplex x) {
    tabulComplex r{-7.0, -7.0};
    try {
        tabulFhyper(r, a, b, c, x);
    } catch (const Vesk::Run::AppException& e) {
        EXPECT_EQ(r.re, -7.0);
        return e.Message() + "@" + std::to_string(static_cast<int>(e.Argument()));
    }
    return "no error";
}

std::string fhyperError(double a, double b, double c, double x) {
    return fhyperError({a, 0.0}, {b, 0.0}, {c, 0.0}, {x, 0.0});
}

void expectRelative(double value, double expected, double tolerance) {
    EXPECT_NEAR(value, expected, tolerance * std::fabs(expected)) << "expected " << expected;
}

}  // namespace

TEST(Fhyper, ArgumentChecksInOrder) {
    const tabulComplex real{0.5, 0.0};
    const tabulComplex complex{0.5, 1.0};
    const tabulComplex outside{1.5, 0.0};
    EXPECT_EQ(fhyperError(complex, real, real, outside), "must be real@1");
    EXPECT_EQ(fhyperError(real, {0.5, kNaN}, real, outside), "must be real@2");
    EXPECT_EQ(fhyperError(real, real, complex, outside), "must be real@3");
    EXPECT_EQ(fhyperError(real, real, real, complex), "must be real@4");
    EXPECT_EQ(fhyperError(0.5, 0.5, 0.5, -1.0), "domain error@4");
    EXPECT_EQ(fhyperError(0.5, 0.5, 0.5, 1.0), "domain error@4");
    // A NaN point passes the domain check and fails the disc test.
    EXPECT_EQ(fhyperError(1.0, 1.0, 2.0, kNaN), "overflow@-1");
}

TEST(Fhyper, OriginClosedFormsAndPolynomials) {
    // x = 0 is 1 before any parameter is looked at.
    EXPECT_EQ(fhyper(1.0, 2.0, 0.0, 0.0), 1.0);
    EXPECT_EQ(fhyper(kNaN, 2.0, -3.0, 1e-17), 1.0);
    // b = c and a = c reduce to powers of 1 - x.
    EXPECT_EQ(fhyper(2.0, 3.0, 3.0, 0.5), 4.0);
    expectRelative(fhyper(3.0, 1.5, 3.0, -0.5), std::pow(1.5, -1.5), 4e-16);
    // Gauss's summation at the largest double below 1.
    EXPECT_EQ(fhyper(1.0, 1.0, 3.0, kLargestBelowOne), 2.0);
    // c = -2: only a polynomial that ends before (c)_k reaches 0.
    expectRelative(fhyper(-1.0, 0.7, -2.0, 0.3), 1.0 + (-1.0 * 0.7 * 0.3) / -2.0, 4e-16);
    expectRelative(fhyper(-3.0, -1.0, -2.0, 0.3), 1.0 - 1.5 * 0.3, 4e-16);
    EXPECT_EQ(fhyperError(-3.0, 0.5, -2.0, 0.3), "domain error@-1");
    // c exactly -2 with a 1e-15 from -1 is a pole: no polynomial ends the series.
    EXPECT_EQ(fhyperError(-1.0 + 1e-15, 0.5, -2.0, 0.3), "domain error@-1");
    // a = -2: the quadratic, also near both ends (no transformation).
    const double b = 1.3;
    const double c = 2.2;
    for (double x : {-0.95, 0.3, 0.95, kLargestBelowOne}) {
        const double quadratic = 1.0 - 2.0 * b * x / c + b * (b + 1.0) * x * x / (c * (c + 1.0));
        expectRelative(fhyper(-2.0, b, c, x), quadratic, 1e-15);
    }
}

TEST(Fhyper, TransformationsAgreeWithTheFunction) {
    // Euler with c - a, then with c - b, a non-positive integer.
    expectRelative(fhyper(3.0, 0.5, 1.0, 0.5), 3.3587572106361007409, 1e-15);
    expectRelative(fhyper(0.5, 3.5, 1.5, -0.4), 0.69797092873497898584, 1e-15);
    // Pfaff below -0.5 for b <= 0 and b > 0.
    expectRelative(fhyper(1.0, -0.5, 2.0, -0.7), 1.1585988740656195746, 1e-15);
    expectRelative(fhyper(1.0, 0.5, 2.0, -0.7), 0.86811566011579927189, 1e-15);
    // Connection to 1 - x with c - a - b not an integer.
    expectRelative(fhyper(0.3, 0.7, 1.7, 0.9), 1.2135069615041652359, 2e-15);
    // The logarithmic form: c - a - b = 0 (-ln(1 - x) / x), 2, 3, -2, -1.
    expectRelative(fhyper(1.0, 1.0, 2.0, 0.9), 2.5584278811044953881, 2.2e-16);
    expectRelative(fhyper(0.5, 0.5, 3.0, 0.9), 1.1088348896114900935, 1e-15);
    expectRelative(fhyper(1.5, 2.5, 2.0, 0.9), 86.828466102493077188, 1e-15);
    expectRelative(fhyper(1.5, 2.5, 3.0, 0.9), 14.663397526525132981, 1e-15);
}

TEST(Fhyper, DivergenceAndOverflow) {
    // c - a - b large or infinite: the value overflows only where it is
    // beyond the double range.
    EXPECT_EQ(fhyperError(1e308, 1e308, 0.5, 0.8), "overflow@-1");
    // A NaN parameter: NaN from the series, "overflow" from the connection.
    EXPECT_TRUE(std::isnan(fhyper(kNaN, 1.0, 2.0, 0.5)));
    EXPECT_TRUE(std::isnan(fhyper(kNaN, -7.0, 5.5, 0.25)));  // beside an exact degree too
    EXPECT_EQ(fhyperError(kNaN, 1.0, 2.0, 0.8), "overflow@-1");
}

// Where the plain evaluation cancels, stops early, meets a pole of a Gamma
// factor or overflows on the way, the careful one answers (mpmath values).
TEST(Fhyper, CarefulRegions) {
    struct Point {
        double a, b, c, x, value;
    };
    const Point points[] = {
        // x < -1/2 with |c - a - b| > 10, and near -1 with c - a - b = -11.
        {12.13, 28.32, -0.0948, -0.815, 1.6121809297076654893e-4},
        {27.595449782198003, 14.0, -8.250598420763712, -0.518, -53.347688234971485779},
        {1.0, 12.0, 2.0, -0.99, 0.091779985293940110518},
        {1.5, 1.5, 2.0, -kLargestBelowOne, 0.4532469599231666214},
        // A polynomial near 1; a parameter 2e-13 from an integer.
        {-26.0, 14.467423811122494, -1.227412875937695, 0.9747130176680787, 7.426690815436249807e-5},
        {-0.9999999999998236, 28.000024932401363, -12.999999345070758, -0.7133746412075812,
         -0.53650052347796949482},
        // Near 1: c - a - b = 0, c - a - b 1e-9 from an integer, a Gamma
        // pole of one connection term, Gamma values beyond the double range.
        {1.0, 1.0, 2.0, kLargestBelowOne, 36.736800569677105478},
        {2.5, 1.5, 2.000000001, 0.999, 849038.0448656523856},
        {13.5, 0.7, 1.5, 0.95, 3128210056079453.4122},
        {0.5, 0.5, 301.0, 0.8, 1.0006664429623586542},
        {150.0, 150.0, 300.3, 0.8, 1.3204280096050153137e+42},
        // Parameters near 100 whose every form's terms exceed the value by
        // 1e17 to 1e60: the series summed in the wide arithmetic.
        {90.17886352539062, 99.98831176757812, -11.207168579101562, -0.5998709201812744,
         1.4332663094452325753e-6},
        {-57.87249572667741, -61.56440099150613, 99.37636606285545, -0.9906481087769826,
         -1.5522127851128433552e-13},
        {58.56241900353848, -82.09405518553223, -24.709603755937778, 0.6145406007443956,
         -7120010067186701720.9},
        {95.17004605087132, 88.74981583117432, 31.155187598929388, -0.9999999713841787,
         4.8242824227013241632e-49},
        {86.99492873699654, 96.11624983327084, -97.38952945447467, -0.8549694302303494,
         4610213076105944.9951},
        // Near 1 with the connection formula's parts cancelling by 3e4: its
        // Gamma quotients in double-double.
        {29.879190990545567, -91.94277363417554, -58.119006246821044, 0.9865347785764518,
         -1.7673865521754853445e+22},
        // c - a - b 5e-13 from 6 and exactly -3: the limit form of the
        // connection formula, its finite and singular parts cancelling by 30.
        {-25.29083326393214, 25.122826176075982, 5.831992912144346, 0.9492561235352409,
         1.7070097684041106584e-10},
        {29.539582778934403, -13.708376781287566, 12.831205997646837, 0.8896689618319673,
         -6.9061626408680483118e-7},
        // Parameters within 1e-13 of an integer (or b of c) without being
        // one: a, c and c - a near integers, b near c.
        {2.86e-19, 13.19, -27.02, 0.99989, 1.0467536535910720948e+152},
        {-4.999999999999999, 3.5, -20.25, 0.999, 1.4806154450325304134e+40},
        {1.0, 0.5, -1.99999999999999, 0.3, 8827529168475.5585633},
        {1.0, 2.0, 1e-14, 0.5, 799999999999988.45577},
        {7.25, 1.5, 4.25000000000001, 0.95, 75908.908270927970649},
        {0.0003339558368729942, 14.895724079059178, 0.00033395583678803934, -0.6847659366409404,
         0.00042221024155330280867},
    };
    for (const Point& p : points) expectRelative(fhyper(p.a, p.b, p.c, p.x), p.value, 8e-15);
}

TEST(GaussSeries, TerminationAndConvergenceLimit) {
    // A terminating series stops as soon as the numerator reaches 0.
    EXPECT_EQ(gaussSeries(-1.0, 4.0, 2.0, 0.5), 0.0);
    // 1000 terms cannot reach the sum at x = 0.999.
    EXPECT_THROW(gaussSeries(1.0, 1.0, 0.5, 0.999), Vesk::Run::AppException);
}
