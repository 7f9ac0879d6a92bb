#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numeric/gamma/complex_gamma.hpp"
#include "numeric/gamma/fpu_guard.hpp"
#include "numeric/gamma/incomplete_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

constexpr int kAllExcepts = FE_ALL_EXCEPT;

#if defined(__x86_64__) || defined(__i386__)
std::uint16_t x87ControlWord() {
    std::uint16_t cw;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}
std::uint16_t x87Flags() {
    std::uint16_t sw;
    __asm__ volatile("fnstsw %0" : "=m"(sw));
    return sw & 0x3F;
}
std::uint32_t mxcsr() {
    std::uint32_t m;
    __asm__ volatile("stmxcsr %0" : "=m"(m));
    return m;
}
#endif

// A host that traps on overflow and rounds upward, with the divide-by-zero
// flag left pending; restores the default environment when it goes.
class HostileHost {
public:
    HostileHost() {
        std::fegetenv(&m_saved);
        std::feclearexcept(kAllExcepts);
        std::fesetround(FE_UPWARD);
        std::feraiseexcept(FE_DIVBYZERO);
        feenableexcept(FE_OVERFLOW);
    }
    ~HostileHost() { std::fesetenv(&m_saved); }

    // The host's settings are exactly as it left them.
    static void expectUnchanged() {
        EXPECT_EQ(std::fegetround(), FE_UPWARD);
        EXPECT_EQ(fegetexcept(), FE_OVERFLOW);
        EXPECT_EQ(std::fetestexcept(kAllExcepts), FE_DIVBYZERO);
    }

private:
    std::fenv_t m_saved;
};

tabulComplex gamma1(double re, double im) {
    tabulComplex r{0.0, 0.0};
    tabulGamma1(r, {re, im});
    return r;
}

tabulComplex gamma2(double a, double x) {
    tabulComplex r{0.0, 0.0};
    tabulGamma2(r, {a, 0.0}, {x, 0.0});
    return r;
}

}  // namespace

TEST(FpuPrecisionGuard, OverflowUnderATrappingUpwardHost) {
    const tabulComplex expected = gamma1(2.5, 1.0);
    const tabulComplex expected2 = gamma2(0.5, 3.0);
    HostileHost host;
    const tabulComplex g = gamma1(200.5, 0.0);
    EXPECT_EQ(g.re, std::numeric_limits<double>::infinity());
    EXPECT_EQ(g.im, 0.0);
    HostileHost::expectUnchanged();
    // Results do not depend on the host's rounding mode.
    const tabulComplex z = gamma1(2.5, 1.0);
    EXPECT_EQ(z.re, expected.re);
    EXPECT_EQ(z.im, expected.im);
    EXPECT_EQ(gamma2(0.5, 3.0).re, expected2.re);
    HostileHost::expectUnchanged();
}

TEST(FpuPrecisionGuard, RestoresTheHostAfterAnError) {
    HostileHost host;
    EXPECT_THROW(gamma1(0.0, 0.0), Vesk::Run::AppException);
    HostileHost::expectUnchanged();
    EXPECT_THROW(gamma2(1.0, -1.0), Vesk::Run::AppException);
    HostileHost::expectUnchanged();
    EXPECT_THROW(gamma2(0.0, 1.0), Vesk::Run::AppException);  // "singularity" deep inside
    HostileHost::expectUnchanged();
}

#if defined(__x86_64__) || defined(__i386__)
TEST(FpuPrecisionGuard, HoldsBothUnitsAndRestoresTheirWordsExactly) {
    HostileHost host;
    const std::uint16_t callerControlWord = x87ControlWord();
    const std::uint32_t callerMxcsr = mxcsr();
    {
        const FpuPrecisionGuard guard;
        EXPECT_EQ(x87ControlWord(), 0x037F);
        EXPECT_EQ(mxcsr(), 0x1F80u);
        EXPECT_EQ(x87Flags(), 0);
        // Raise x87 flags inside: they must not reach the caller.
        volatile long double zero = 0.0L;
        volatile long double q = 1.0L / zero;
        (void)q;
    }
    EXPECT_EQ(x87ControlWord(), callerControlWord);
    EXPECT_EQ(mxcsr(), callerMxcsr);
    EXPECT_EQ(x87Flags(), 0);

    // Flags the caller had pending on the x87 unit come back as they were,
    // although the call (extended arithmetic) raised others.
    std::feclearexcept(kAllExcepts);
    fedisableexcept(kAllExcepts);
    volatile long double zero = 0.0L;
    volatile long double q = 1.0L / zero;
    (void)q;
    const std::uint16_t pending = x87Flags();
    ASSERT_NE(pending, 0);
    gamma2(2.5, 3.5);
    EXPECT_EQ(x87Flags(), pending);
}
#endif
