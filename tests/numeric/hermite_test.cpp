// Hermite values, and the degree and point checks that the Hermite,
// Laguerre, Legendre and Kelvin kernels share.

#include <gtest/gtest.h>

#include <cmath>

#include "../host/host_values.hpp"
#include "numeric/kelvin/kelvin.hpp"
#include "numeric/polynomials/chebyshev.hpp"
#include "numeric/polynomials/hermite.hpp"
#include "numeric/polynomials/jacobi.hpp"
#include "numeric/polynomials/laguerre.hpp"
#include "numeric/polynomials/legendre.hpp"

using namespace Oru;
using testing_host::raises;

TEST(Hermite, ExactValues) {
    const auto her = [](double n, double x) {
        tabulComplex r(-7.0, -7.0);
        tabulHer(r, {n, 0}, {x, 0});
        return r.re;
    };
    EXPECT_EQ(her(1, -2.5), -5.0);
    EXPECT_EQ(her(4, 0), 12.0);
    EXPECT_EQ(her(5, 0.5), 41.0);
    EXPECT_EQ(her(3, -2), -40.0);              // no folding of the sign of x
    EXPECT_EQ(her(2.99999999999, 0.5), -5.0);  // taken as degree 3
}

TEST(DegreeAndPointChecks, EveryKernelThatSharesThem) {
    using Kernel = void (*)(tabulComplex&, const tabulComplex&, const tabulComplex&);
    for (Kernel kernel : {tabulHer, tabulLag, tabulLeg, tabulBer, tabulBei}) {
        tabulComplex r(-7.0, -7.0);
        const auto fails = [&](tabulComplex n, tabulComplex x, const char* message, unsigned index) {
            return raises([&] { kernel(r, n, x); }, message, index);
        };
        for (double bad : {2.5, 1e-12, -2.5, 1e10, NAN * 1.0}) {
            EXPECT_TRUE(fails({bad, 0}, {1, 0}, "must be integer", 1)) << bad;
        }
        // A complex degree is "not an integer", noticed before the sign; the
        // degree is checked before the point.
        EXPECT_TRUE(fails({-1, 1}, {1, 0}, "must be integer", 1));
        EXPECT_TRUE(fails({-1, 0}, {1, 1}, "must be non-negative integer", 1));
        EXPECT_TRUE(fails({2, 0}, {1, NAN}, "must be real", 2));
        EXPECT_EQ(r.re, -7.0);  // nothing is written when a check fails
    }
}

// Values on the way past the double range while the result is inside it: the
// recurrences carry a power-of-two scale; and Jacobi with alpha and beta next
// to -1. From high-precision arithmetic.
TEST(Recurrences, NewRegions) {
    const auto near = [](double got, double want) { return std::fabs(got / want - 1.0) < 1e-12; };
    EXPECT_TRUE(near(hermiteRecurrence(255, 9.297853603648612), -6.64236938057846433904799465761e+307));
    EXPECT_TRUE(near(laguerreRecurrence(398, 1423.733340535773), 4.65852573628101291861638142386e+307));
    EXPECT_TRUE(near(jacobiRecurrence(159, 8.521930920345836, 10, -39.04489397372068),
                     -8.17583834115901297758061130827e+304));
    // Beyond the range: the infinity of the value's sign, not NaN.
    EXPECT_EQ(hermiteRecurrence(300, 1.0), INFINITY);       // 7.2e351
    EXPECT_EQ(laguerreRecurrence(1000, -200.0), INFINITY);  // 2.8e346
    EXPECT_EQ(tchebRecurrence(2001, -10.0), -INFINITY);
    // kappa 42 and 5.4e6: the recurrence forms alpha + beta + 2 from alpha + 1 and beta + 1.
    EXPECT_TRUE(near(jacobiRecurrence(26, -0.9999999995952139, -0.9999999989178103, 0.6129247989756628),
                     0.03097671496956800235339295));
    EXPECT_NEAR(jacobiRecurrence(568, -0.9999999618001848, -0.9999999978610785, -0.9999998173357751) /
                    -0.00005102742130318516154335037,
                1.0, 1e-8);
}
