#pragma once

// The constants several kernels share, each written once. All are compile-time
// values: none depends on the order in which the library's objects are
// initialised when it is loaded.

#include "vesk/run/app_exception.hpp"

namespace Oru {

// The argument index of an error that no single argument is to blame for.
inline constexpr unsigned kNoArgument = Vesk::Run::AppException::NoArgument;

// pi and its multiples, each the nearest double (the multiples by powers of
// two are exact).
inline constexpr double kPi = 0x1.921fb54442d18p+1;  // 3.141592653589793
inline constexpr double kHalfPi = kPi / 2;
inline constexpr double kTwoPi = 2 * kPi;
// 2 pi to the extended (long double) precision.
inline constexpr long double kTwoPiExtended = 6.283185307179586476925286766559L;

// ln(2 pi) / 2 and ln(2 pi), the nearest doubles.
inline constexpr double kHalfLogTwoPi = 0x1.d67f1c864beb4p-1;  // 0.9189385332046727
inline constexpr double kLogTwoPi = 0x1.d67f1c864beb5p+0;      // 1.8378770664093456

// Euler's constant gamma, the nearest double.
inline constexpr double kEulerGamma = 0x1.2788cfc6fb619p-1;  // 0.5772156649015329

// 16383 ln 2: the natural logarithm of the largest extended (long double)
// value, the bound of every logarithm a kernel exponentiates in that format.
inline constexpr double kLogExtendedMax = 0x1.62dea45ee3e06p+13;  // 11355.830259113583

}  // namespace Oru
