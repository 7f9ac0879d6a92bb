#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numeric/gamma/digamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {
constexpr double kEulerGamma = 0.5772156649015329;
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(Digamma, ExactIntegersRecurrenceAndExpansion) {
    EXPECT_EQ(digamma(1.0), -kEulerGamma);
    EXPECT_EQ(digamma(2.0), 1.0 - kEulerGamma);
    EXPECT_NEAR(digamma(10.0), 2.2517525890667211076, 1e-15);
    EXPECT_NEAR(digamma(11.0), 2.3517525890667211076, 1e-15);  // past the exact case
    EXPECT_NEAR(digamma(0.5), -1.9635100260214234794, 1e-15);
    EXPECT_NEAR(digamma(12.75), 2.5058032764013554687, 1e-15);
    EXPECT_NEAR(digamma(1e-5), -100000.57719921567289, 1e-9);
    // Above 1e9 only ln s - 1/(2s) remains.
    EXPECT_NEAR(digamma(1e10), 23.025850929890456840, 4e-15);
}

TEST(Digamma, ReflectionPolesAndNonFiniteArguments) {
    // psi(-0.5) = psi(1.5): the tangent of -pi/2 is huge, not infinite.
    EXPECT_NEAR(digamma(-0.5), 0.036489973978576520559, 2e-15);
    EXPECT_NEAR(digamma(-2.25), 4.1585835646579722748, 4e-15);
    for (double pole : {0.0, -0.0, -1.0, -7.0, -kInf}) {
        try {
            digamma(pole);
            ADD_FAILURE() << pole;
        } catch (const Vesk::Run::AppException& e) {
            EXPECT_EQ(e.Message(), "domain error");
            EXPECT_EQ(e.Argument(), Vesk::Run::AppException::NoArgument);
        }
    }
    EXPECT_TRUE(std::isnan(digamma(std::nan(""))));
    EXPECT_EQ(digamma(kInf), kInf);
}
