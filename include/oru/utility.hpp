#pragma once

// The maker's utility routines the library relies on: the error routine,
// rounding to the nearest integer, and the factorial.

#include "oru/export.hpp"

namespace Oru {

// Raises Vesk::Run::AppException with this message and argument index.
// Never returns.
[[noreturn]] ORU_SPECIAL_API void Throw(const char* message, unsigned argIndex);

// The nearest integer, as a double; an argument within 1e-13 of an integer n
// gives exactly n. Halves round away from zero. NaN and infinities pass.
ORU_SPECIAL_API double round(double x);

// m! as a double, in constant time: the nearest double for 0 <= m <= 170,
// +infinity above 170 (m! leaves the double range), NaN for m < 0.
ORU_SPECIAL_API double Factorial(int m);

}  // namespace Oru
