#pragma once

// The three-term recurrence in the degree that every polynomial kernel runs,
// P(k) = step(k, P(k-2), P(k-1)) for k = 2, ..., n from P(0) and P(1), and
// its rescue when a value on the way overflows although P(n) need not.
//
// Every step is linear and homogeneous in (P(k-2), P(k-1)), so scaling both
// by a power of two scales every later value by the same power, exactly. The
// plain loop runs first, untouched: where no value on the way leaves the
// double range its result is final. Only a result that is not finite, from
// finite starting values, runs the steps again, in extended precision (whose
// range holds every product of a step, even with a point near the top of the
// double range) and with an exponent carried beside the values; their product
// is then P(n), rounded once, or the infinity of its sign.

#include <cmath>
#include <cstdint>

namespace Oru {

// How |P(k)| behaves in k once it is past the double range. Monotone: it only
// grows and keeps its sign (Chebyshev and Legendre on |x| > 1, Laguerre on
// x < 0), so P(n) is beyond the range as soon as one value is. Oscillating:
// it may still come back (Laguerre on x > 0 rises to about e^x and falls to
// about e^(x/2)), so only the last step tells.
enum class Growth { Monotone, Oscillating };

namespace detail {

inline constexpr int kScaleStep = 8192;
// Values whose exponent passes this many bits can no longer come back into
// the double range for any of the families here (Laguerre, the one that
// falls, falls by at most the square root of its peak), so an oscillating
// recurrence stops there and keeps the plain result: a degree near 2^31 ends
// after the few thousand steps that take the values that far.
inline constexpr std::int64_t kHopelessBits = 65536;

// One step of the recurrence, P(k) from P(k-2) and P(k-1).
template <class Step>
[[gnu::always_inline]] inline void advance(Step& step, std::int64_t k, double& previous, double& current) {
    const double next = step(k, previous, current);
    previous = current;
    current = next;
}

inline constexpr std::int64_t kStepsPerNaNTest = 8;

template <class Step>
double plainRecurrence(double p0, double p1, std::int64_t n, bool nanEndsIt, Step step) {
    double previous = p0;
    double current = p1;
    std::int64_t k = 2;
    // From a NaN on, every later value is that same NaN when all the NaNs
    // the loop can meet carry one bit pattern (the one invalid operations
    // give, or the point's own), so the remaining steps cannot change the
    // result. Values that overflow turn NaN a few steps later, so a large
    // degree ends early there. The test is made once per block of steps, off
    // the chain of dependent operations; the last few steps run untested.
    if (nanEndsIt) {
        for (; n - k >= kStepsPerNaNTest - 1; k += kStepsPerNaNTest) {
            for (std::int64_t j = 0; j < kStepsPerNaNTest; ++j) advance(step, k + j, previous, current);
            if (std::isnan(current)) return current;
        }
    }
    for (; k <= n; ++k) advance(step, k, previous, current);
    return current;
}

// The same steps with P(k) = current * 2^exponent, in extended precision: the
// pair is scaled down by 2^8192 when it passes 2^8192 and back up when it
// falls below 2^-8192 with a positive exponent, so no product of a step can
// leave the extended range (2^16384) unless a coefficient is itself beyond the
// double range (then the plain result stands).
// Rarely run, and kept out of line so that the plain loop's caller stays lean.
template <class Step>
[[gnu::cold, gnu::noinline]] double rescaledRecurrence(double p0, double p1, std::int64_t n, Growth growth,
                                                       double plain, Step step) {
    long double previous = p0;
    long double current = p1;
    std::int64_t exponent = 0;
    for (std::int64_t k = 2; k <= n; ++k) {
        const long double next = step(k, previous, current);
        if (!std::isfinite(next)) return plain;
        previous = current;
        current = next;
        const long double larger = std::fmax(std::fabs(previous), std::fabs(current));
        if (larger > 0x1p8192L) {
            previous = std::ldexp(previous, -kScaleStep);
            current = std::ldexp(current, -kScaleStep);
            exponent += kScaleStep;
        } else if (larger < 0x1p-8192L && exponent > 0) {
            previous = std::ldexp(previous, kScaleStep);
            current = std::ldexp(current, kScaleStep);
            exponent -= kScaleStep;
        }
        if (growth == Growth::Monotone && current != 0.0L && exponent + std::ilogb(current) > 1024) {
            // |P(k)| >= 2^1025 is beyond the range, and so is every later value.
            return std::copysign(INFINITY, static_cast<double>(current));
        }
        if (exponent > kHopelessBits) return plain;
    }
    return static_cast<double>(std::ldexp(current, static_cast<int>(exponent)));
}

}  // namespace detail

// P(n) by the recurrence; nanEndsIt allows the early end at the first NaN
// (see plainRecurrence). P(0) = p0 and P(1) = p1 are the caller's for n < 2.
template <class Step>
double threeTermRecurrence(double p0, double p1, std::int64_t n, bool nanEndsIt, Growth growth, Step step) {
    const double plain = detail::plainRecurrence(p0, p1, n, nanEndsIt, step);
    if (std::isfinite(plain) || !std::isfinite(p0) || !std::isfinite(p1)) return plain;
    return detail::rescaledRecurrence(p0, p1, n, growth, plain, step);
}

}  // namespace Oru
