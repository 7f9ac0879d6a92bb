#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <limits>

#include "numeric/gamma/complex_gamma.hpp"
#include "numeric/gamma/incomplete_gamma.hpp"
#include "vesk/run/app_exception.hpp"

using namespace Oru;

namespace {

// A host that traps on overflow and rounds upward, with the divide-by-zero
// flag pending; the default environment comes back when it goes.
class HostileHost {
public:
    HostileHost() {
        std::fegetenv(&m_saved);
        std::feclearexcept(FE_ALL_EXCEPT);
        std::fesetround(FE_UPWARD);
        std::feraiseexcept(FE_DIVBYZERO);
        feenableexcept(FE_OVERFLOW);
    }
    ~HostileHost() { std::fesetenv(&m_saved); }

    static void expectUnchanged() {
        EXPECT_EQ(std::fegetround(), FE_UPWARD);
        EXPECT_EQ(fegetexcept(), FE_OVERFLOW);
        EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), FE_DIVBYZERO);
    }

private:
    std::fenv_t m_saved;
};

tabulComplex call(void (*kernel)(tabulComplex&, const tabulComplex&, const tabulComplex&), double a,
                  double x) {
    tabulComplex r{0.0, 0.0};
    kernel(r, {a, 0.0}, {x, 0.0});
    return r;
}

tabulComplex gamma1(double re, double im) {
    tabulComplex r{0.0, 0.0};
    tabulGamma1(r, {re, im});
    return r;
}

#if defined(__x86_64__) || defined(__i386__)
std::uint16_t x87Flags() {
    std::uint16_t sw;
    __asm__ volatile("fnstsw %0" : "=m"(sw));
    return sw & 0x3F;
}
#endif

}  // namespace

TEST(FpuPrecisionGuard, TrappingUpwardHostGetsDefaultResultsAndItsSettingsBack) {
    const tabulComplex expected1 = gamma1(2.5, 1.0);
    const double expected2 = call(tabulGamma2, 0.5, 3.0).re;
    HostileHost host;
    const tabulComplex g = gamma1(200.5, 0.0);  // overflows inside, no trap
    EXPECT_EQ(g.re, std::numeric_limits<double>::infinity());
    HostileHost::expectUnchanged();
    EXPECT_EQ(gamma1(2.5, 1.0).re, expected1.re);
    EXPECT_EQ(gamma1(2.5, 1.0).im, expected1.im);
    EXPECT_EQ(call(tabulGamma2, 0.5, 3.0).re, expected2);
    HostileHost::expectUnchanged();
    // Also when an error unwinds through the guard.
    EXPECT_THROW(gamma1(0.0, 0.0), Vesk::Run::AppException);
    HostileHost::expectUnchanged();
    EXPECT_THROW(call(tabulGamma2, 0.0, 1.0), Vesk::Run::AppException);  // raised in realGamma
    HostileHost::expectUnchanged();
}

#if defined(__x86_64__) || defined(__i386__)
TEST(FpuPrecisionGuard, X87FlagsComeBackAsTheCallerHadThem) {
    HostileHost host;
    fedisableexcept(FE_ALL_EXCEPT);
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile long double zero = 0.0L;
    volatile long double q = 1.0L / zero;
    (void)q;
    const std::uint16_t pending = x87Flags();
    ASSERT_NE(pending, 0);
    call(tabulGamma2, 2.5, 3.5);  // extended arithmetic raises others
    EXPECT_EQ(x87Flags(), pending);
    gamma1(2.5, 1.0);  // computes in doubles only and leaves them alone
    EXPECT_EQ(x87Flags(), pending);
}
#endif
