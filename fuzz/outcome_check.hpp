#pragma once

// What every call of an entry point must end in, whatever its arguments: a
// new value of the right kind and shape, or the host exception with one of
// the library's messages and an argument index that fits that message; and
// in both cases the caller's floating-point control settings as they were.
// A check returns a description of what is wrong, empty when nothing is.

#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/entry_points.hpp"
#include "tabul/values.hpp"
#include "tests/support/fingerprint.hpp"
#include "vesk/run/app_exception.hpp"

namespace OruFuzz {

enum class IndexRule {
    Position,        // 1 .. arity
    None,            // 0xFFFFFFFF only
    PositionOrNone,  // either
};

struct DocumentedMessage {
    const char* text;
    IndexRule index;
};

// Every message the library raises. The checks of the host interface name
// the argument; the numeric failures below a kernel's own checks name none.
inline constexpr DocumentedMessage kDocumentedMessages[] = {
    {"must be a scalar or a matrix", IndexRule::Position},
    {"must be a scalar or a vector", IndexRule::Position},
    {"must be scalar", IndexRule::Position},
    {"must be vector", IndexRule::Position},
    {"may not be nested", IndexRule::Position},
    {"illegal context", IndexRule::None},
    {"array size mismatch", IndexRule::None},
    {"must be real", IndexRule::Position},
    {"must be integer", IndexRule::Position},
    {"must be non-negative integer", IndexRule::Position},
    {"integer too large", IndexRule::Position},
    {"must be >\t-1", IndexRule::Position},
    {"must be positive", IndexRule::Position},
    {"must be non-negative", IndexRule::Position},
    {"must be between\t0\t1", IndexRule::Position},
    {"function is undefined for 0 and negative integers", IndexRule::Position},
    {"domain error", IndexRule::PositionOrNone},
    {"overflow", IndexRule::None},
    {"underflow", IndexRule::None},
    {"singularity", IndexRule::None},
    {"not converging", IndexRule::None},
};

inline constexpr std::uint32_t kNoArgument = Vesk::Run::AppException::NoArgument;

inline std::string checkError(const Vesk::Run::AppException& e, unsigned arity) {
    for (const DocumentedMessage& m : kDocumentedMessages) {
        if (e.Message() != m.text) continue;
        const std::uint32_t k = e.Argument();
        const bool position = k >= 1 && k <= arity;
        const bool none = k == kNoArgument;
        const bool fits = (m.index == IndexRule::Position && position) ||
                          (m.index == IndexRule::None && none) ||
                          (m.index == IndexRule::PositionOrNone && (position || none));
        if (fits) return {};
        return "message \"" + e.Message() + "\" with argument index " + std::to_string(k);
    }
    return "undocumented message \"" + e.Message() + "\" (argument index " + std::to_string(e.Argument()) +
           ")";
}

// The vector of a call: the first matrix argument, or null when every
// argument is a scalar (or of a kind the call rejects).
inline const Tabul::MatVal* firstMatrix(Args args, unsigned arity) {
    for (unsigned k = 0; k < arity; ++k)
        if (const auto* m = dynamic_cast<const Tabul::MatVal*>(args[k])) return m;
    return nullptr;
}

// A returned value: a NumVal for a call of scalars, otherwise a packed real
// or complex MatVal with the vector's rows and one column.
inline std::string checkResult(const Tabul::Value* result, Args args, unsigned arity) {
    if (result == nullptr) return "returned a null value";
    const Tabul::MatVal* vector = firstMatrix(args, arity);
    if (vector == nullptr) {
        if (dynamic_cast<const Tabul::NumVal*>(result) == nullptr)
            return "a call of scalars did not return a NumVal";
        return {};
    }
    const auto* m = dynamic_cast<const Tabul::MatVal*>(result);
    if (m == nullptr) return "a call with a vector did not return a MatVal";
    const std::size_t rows = static_cast<std::size_t>(vector->Data.m_rows);
    if (m->Data.m_rows != vector->Data.m_rows || m->Data.m_cols != 1) {
        return "result of shape " + std::to_string(m->Data.m_rows) + " x " + std::to_string(m->Data.m_cols) +
               " for a vector of " + std::to_string(rows) + " rows";
    }
    if (m->HasPtrs()) return "result is nested";
    if (m->m_offset != 0 || m->Data.m_anr != m->Data.m_rows || m->m_rarr.size() != rows ||
        (m->m_iarr && m->m_iarr->size() != rows))
        return "result is not a packed vector";
    return {};
}

// The caller's floating-point control settings: the x87 control word and
// the control bits of MXCSR (its six exception flags may change).
struct FpControl {
    std::uint16_t x87 = 0;
    std::uint32_t mxcsr = 0;
    bool operator==(const FpControl&) const = default;
};

inline FpControl currentFpControl() {
    FpControl c;
#if defined(__x86_64__) || defined(__i386__)
    __asm__ volatile("fnstcw %0" : "=m"(c.x87));
    __asm__ volatile("stmxcsr %0" : "=m"(c.mxcsr));
    c.mxcsr &= ~std::uint32_t{0x3F};
#endif
    return c;
}

using OruSupport::bitsOf;
using OruSupport::fingerprint;

}  // namespace OruFuzz
