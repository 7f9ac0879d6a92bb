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

TEST(Kelvin, LargeArgumentsDoNotConverge) {
    tabulComplex r(-7.0, -7.0);
    for (auto kernel : {tabulBer, tabulBei}) {
        for (double x : {100.0, -100.0, NAN * 1.0}) {
            EXPECT_TRUE(raises([&] { kernel(r, {0, 0}, {x, 0}); }, "not converging", kNone)) << x;
        }
    }
    EXPECT_EQ(r.re, -7.0);
}
