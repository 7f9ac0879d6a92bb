#pragma once

// Scope object that gives a kernel call a known floating-point environment:
// every exception masked, round to nearest, 64-bit significand on the x87
// unit, and no pending SSE exception flags (the caller's x87 flags stay
// pending where all of them are masked, which no result depends on). On x86-64 the doubles are computed by
// SSE and the extended values by the x87 unit, so both are set. The caller's complete environment (control
// words and flags of both units) is restored when the guard is destroyed, also while an error unwinds. The
// floating-point environment is per thread; the guard touches only the calling thread's.

#include <cstdint>

#if !(defined(__x86_64__) || defined(__i386__))
#include <cfenv>
#endif

namespace Oru {

class FpuPrecisionGuard {
public:
    // Whether the guarded code computes extended (long double) values, and so
    // can raise x87 flags. Reading the x87 status word twice costs about half
    // of the guard, so code that computes in doubles only may say so; its
    // x87 flags then stay as the caller had them without being touched.
    enum class X87Use { ExtendedValues, NoExtendedValues };

    explicit FpuPrecisionGuard(X87Use use = X87Use::ExtendedValues);
    ~FpuPrecisionGuard();
    FpuPrecisionGuard(const FpuPrecisionGuard&) = delete;
    FpuPrecisionGuard& operator=(const FpuPrecisionGuard&) = delete;

private:
#if defined(__x86_64__) || defined(__i386__)
    bool m_tracksX87Flags;
    std::uint16_t m_x87ControlWord;
    std::uint16_t m_x87StatusWord;
    std::uint32_t m_mxcsr;
#else
    std::fenv_t m_environment;
#endif
};

}  // namespace Oru
