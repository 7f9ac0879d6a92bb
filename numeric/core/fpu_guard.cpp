#include "numeric/core/fpu_guard.hpp"

namespace Oru {

#if defined(__x86_64__) || defined(__i386__)

namespace {

// All six x87 exceptions masked, 64-bit significand, round to nearest.
constexpr std::uint16_t kX87ControlWord = 0x037F;
// All six SSE exceptions masked, round to nearest, no flush-to-zero and no
// denormals-are-zero, no flags.
constexpr std::uint32_t kMxcsr = 0x1F80;
// The x87 exception flags with the stack-fault and error-summary bits.
constexpr std::uint16_t kX87FlagBits = 0x00FF;
// Set while a flag of an unmasked exception is pending.
constexpr std::uint16_t kX87ErrorSummary = 0x0080;

std::uint16_t x87StatusWord() {
    std::uint16_t sw;
    __asm__ volatile("fnstsw %0" : "=m"(sw) : : "memory");
    return sw;
}

void clearX87Flags() {
    __asm__ volatile("fnclex" : : : "memory");
}

// The only way to set x87 flags is to reload the whole environment: slow,
// and needed only when the caller had flags pending of its own.
void setX87Flags(std::uint16_t flags) {
    // Control word, status word, tag word, instruction and operand pointers.
    std::uint16_t environment[14];
    __asm__ volatile("fnstenv %0" : "=m"(environment) : : "memory");
    environment[2] = static_cast<std::uint16_t>((environment[2] & ~kX87FlagBits) | flags);
    __asm__ volatile("fldenv %0" : : "m"(environment) : "memory");
}

}  // namespace

// The constructor and destructor are out of line on purpose: the compiler
// cannot move the kernel's loads and stores across a call, and at a call the
// x87 register stack is empty.
//
// Reading and loading the control words is cheap; saving and reloading the
// whole x87 environment (fnstenv/fldenv) costs several times more, and
// clearing its flags (fnclex) about as much as all the rest. So the caller's
// x87 flags are left in place while the kernel runs when they are all masked
// (no error summary): with every exception masked they cannot trap, and
// the kernel's arithmetic does not read them. They are then restored only
// when the call raised one the caller did not have, which an extended
// computation rarely does once the inexact flag is pending. Flags of an
// unmasked exception would trap at the loading of the kernel's control word,
// so they are cleared first, and reloaded at the end.

FpuPrecisionGuard::FpuPrecisionGuard(X87Use use)
    : m_tracksX87Flags(use == X87Use::ExtendedValues), m_x87ControlWord(0), m_x87StatusWord(0), m_mxcsr(0) {
    __asm__ volatile(
        "fnstcw %0\n\t"
        "stmxcsr %1"
        : "=m"(m_x87ControlWord), "=m"(m_mxcsr)
        :
        : "memory");
    if (m_tracksX87Flags) {
        m_x87StatusWord = x87StatusWord();
        if ((m_x87StatusWord & kX87ErrorSummary) != 0) clearX87Flags();
    }
    // With every exception masked, flags left pending cannot trap.
    const std::uint16_t controlWord = kX87ControlWord;
    const std::uint32_t mxcsr = kMxcsr;
    __asm__ volatile(
        "fldcw %0\n\t"
        "ldmxcsr %1"
        :
        : "m"(controlWord), "m"(mxcsr)
        : "memory");
}

FpuPrecisionGuard::~FpuPrecisionGuard() {
    if (m_tracksX87Flags) {
        const std::uint16_t callerFlags = m_x87StatusWord & kX87FlagBits;
        if ((x87StatusWord() & kX87FlagBits) != callerFlags) {
            if (callerFlags == 0) {
                clearX87Flags();
            } else {
                setX87Flags(callerFlags);
            }
        }
    }
    __asm__ volatile(
        "fldcw %0\n\t"
        "ldmxcsr %1"
        :
        : "m"(m_x87ControlWord), "m"(m_mxcsr)
        : "memory");
}

#else

// Elsewhere the default environment of the C library has every exception
// masked and rounds to nearest.
FpuPrecisionGuard::FpuPrecisionGuard(X87Use) {
    std::fegetenv(&m_environment);
    std::fesetenv(FE_DFL_ENV);
}

FpuPrecisionGuard::~FpuPrecisionGuard() {
    std::fesetenv(&m_environment);
}

#endif

}  // namespace Oru
