#include <gtest/gtest.h>

#include <cmath>

#include "../host/host_values.hpp"
#include "numeric/kelvin/kelvin.hpp"

using namespace Oru;
using testing_host::kNone;
using testing_host::raises;

namespace {

const auto ber = kelvinBerSeries;
const auto bei = kelvinBeiSeries;

}  // namespace

TEST(Kelvin, Values) {
    // From high-precision arithmetic; orders 0, 1 and 3 use every phase.
    EXPECT_NEAR(ber(0, 1), 0.9843817812130868839655557, 1e-15);
    EXPECT_NEAR(bei(1, 1), 0.3075566313755365543785454, 1e-15);
    EXPECT_NEAR(bei(3, 2), 0.144209941557318284148098, 3e-16);
    EXPECT_EQ(ber(0, 0), 1.0);
    EXPECT_EQ(ber(1, -1), -ber(1, 1));  // odd orders are odd in x
    // k! (n+k)! overflows a double beyond 170!; kept wider, this tiny value is
    // not flushed to 0. From high-precision arithmetic.
    EXPECT_NEAR(ber(175, 2.5) / -5.67423596283505107686466e-302, 1.0, 1e-11);
    // cos(2 * 0.7853981633974483) is 6.123233995736766e-17, not 0, and the
    // first term it weights outweighs the true leading term at x = 2e-8
    // (ber_2(2e-8) is 1.67e-33). High-precision sum with that phase:
    EXPECT_NEAR(ber(2, 2e-8) / 4.728283664535049952198551e-33, 1.0, 1e-14);
}

// Where the series is not good: vanishing phase factors at small x, high
// orders that the absolute stopping rule ends early, cancellation at medium
// x, large x up to the range (asymptotic expansion, upward and downward
// recurrences in the order). From high-precision arithmetic.
TEST(Kelvin, BeyondTheSeries) {
    struct Point {
        bool bei;
        unsigned n;
        double x;
        double value;
    };
    const Point points[] = {
        {false, 2, 3e-5, 8.437500000000000855025379e-21},
        {true, 4, 1.33e-6, -7.206902153345051159291138e-40},
        {true, 179, 86.99904119493412, -2.266744901105839525143655e-34},
        {false, 166, 74.95881033807296, -2.081895496010092826051402e-37},
        {false, 0, 60, -50877960857843482.2398339},
        {false, 40, -25.5, -0.000170208839415633038203434},
        {false, 0, 80, 153515325980295403415603.3},
        {false, 0, 1000, -1.545186630003373008822844e+305},
        {true, 7, -500.5, -1.029492443454792443312927e+151},
        {false, 1000, 1000, -1.667018543676257260256297e+143},
        {true, 500, 300, -4.189448690923173513766446e-46},
    };
    for (const Point& p : points) {
        const double got = p.bei ? kelvinBei(p.n, p.x) : kelvinBer(p.n, p.x);
        EXPECT_NEAR(got / p.value, 1.0, 4e-15) << (p.bei ? "bei " : "ber ") << p.n << ' ' << p.x;
    }
}

TEST(Kelvin, ErrorsNameNoArgument) {
    tabulComplex r(-7.0, -7.0);
    for (auto kernel : {tabulBer, tabulBei}) {
        EXPECT_TRUE(raises([&] { kernel(r, {0, 0}, {1020, 0}); }, "overflow", kNone));
        for (double x : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
            EXPECT_TRUE(raises([&] { kernel(r, {0, 0}, {x, 0}); }, "not converging", kNone)) << x;
        }
    }
    EXPECT_EQ(r.re, -7.0);
}
