#include "numeric/polynomials/chebyshev.hpp"

#include <cmath>
#include <cstdint>

#include "numeric/core/integer.hpp"
#include "numeric/polynomials/recurrence.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr unsigned kBlock = 8;

// The recurrence with (2y) P(k-1) in place of 2 (y P(k-1)): one
// multiplication fewer on the chain of dependent operations, and the same
// double in every rounding mode wherever y P(k-1) is not subnormal (scaling
// by two is exact in the normal range and past it). A subnormal y P(k-1)
// changes the step only where P(k-2) is below 2^-968 as well: otherwise both
// forms of the term lie under half a unit of P(k-2), of the same sign, and
// the subtraction rounds them away alike. With y >= 2^-54 a subnormal
// y P(k-1) needs P(k-1) below 2^-968 too, so two consecutive values that
// small; on y < 1 one step makes the larger of a pair at most 3 times larger,
// so within a block of 8 steps such a pair leaves the block's last pair
// below 2^-950 (on y >= 1 the values only grow from 1). Every block's last
// pair is tested (a NaN fails the test too); where the test fails, or the
// result is not finite, or y is outside the range where 2y is exact and
// the argument holds, the steps 2 (y P(k-1)) - P(k-2) are run instead, from the start.
// Returns NaN to ask for them.
[[gnu::noinline]] double doubledPointSteps(double p1, unsigned n, double y) {
    constexpr double kLeastPairTop = 0x1p-950;
    if (!(y >= 0x1p-54 && y <= 0x1p1000)) return NAN;
    const double twoY = 2.0 * y;
    double previous = 1.0;
    double current = p1;
    unsigned k = 2;
    const auto step = [&] {
        const double next = twoY * current - previous;
        previous = current;
        current = next;
    };
    for (; k + (kBlock - 1) <= n; k += kBlock) {
        for (unsigned j = 0; j < kBlock; ++j) step();
        if (!(std::fmax(std::fabs(previous), std::fabs(current)) >= kLeastPairTop)) return NAN;
    }
    for (; k <= n; ++k) step();
    if (!(std::fmax(std::fabs(previous), std::fabs(current)) >= kLeastPairTop)) return NAN;
    return std::isfinite(current) ? current : NAN;
}

// Both kinds share P(k+1) = 2 y P(k) - P(k-1) on y = |x| and differ only in
// P1 (y or 2y). The parity rule P_n(-x) = (-1)^n P_n(x) restores the sign,
// so the result for -x is exactly (-1)^n times the result for x.
[[gnu::always_inline]] inline double chebyshevRecurrence(unsigned n, double x, double firstKindFactor) {
    // Points of either sign are equally likely: the fold is written without
    // a branch (a mispredicted one costs about as much as the whole of a low
    // degree). -0.0 is not negative and stays -0.0.
    const bool negative = x < 0.0;
    const double y = negative ? -x : x;
    if (n == 0) return 1.0;
    if (n == 1) return firstKindFactor * x;
    // A degree below a block's length takes the steps 2 (y P(k-1)) - P(k-2)
    // at once (the recurrence tests those few steps for no NaN: a NaN goes on
    // through them unchanged, its one source being y itself or, past
    // overflow, an infinity minus an infinity, never both).
    double current = n > kBlock ? doubledPointSteps(firstKindFactor * y, n, y) : NAN;
    if (std::isnan(current)) {
        // Values overflow only past y = 1, where they grow with the degree.
        current = threeTermRecurrence(
            1.0, firstKindFactor * y, n, true, Growth::Monotone,
            [y](std::int64_t, auto previous, auto current) { return 2.0 * (y * current) - previous; });
    }
    return (negative && (n & 1u) != 0) ? -current : current;
}

// The checks both kernels make, degree first; returns the degree.
int checkedChebyshevDegree(const tabulComplex& a, const tabulComplex& b) {
    if (a.im != 0.0) Throw("must be real", 1);
    if (checkInteger(a.re) != IsInteger) Throw("must be integer", 1);
    const int n = acceptedInteger(a.re);
    if (n < 0) Throw("must be non-negative integer", 1);
    if (b.im != 0.0) Throw("must be real", 2);
    return n;
}

}  // namespace

double tchebRecurrence(unsigned n, double x) {
    return chebyshevRecurrence(n, x, 1.0);
}

double uchebRecurrence(unsigned n, double x) {
    return chebyshevRecurrence(n, x, 2.0);
}

void tabulTcheb(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedChebyshevDegree(a, b);
    const double x = b.re;
    const bool odd = (n & 1) != 0;
    if (n == 0 || x == 1.0) {
        res.re = 1.0;
    } else if (x == -1.0) {
        res.re = odd ? -1.0 : 1.0;
    } else {
        res.re = chebyshevRecurrence(static_cast<unsigned>(n), x, 1.0);
    }
    res.im = 0.0;
}

void tabulUcheb(tabulComplex& res, const tabulComplex& a, const tabulComplex& b) {
    const int n = checkedChebyshevDegree(a, b);
    const double x = b.re;
    const bool odd = (n & 1) != 0;
    // n + 1 formed in double: n may be 2^31 - 1.
    const double atOne = static_cast<double>(n) + 1.0;
    if (n == 0) {
        res.re = 1.0;
    } else if (x == 1.0) {
        res.re = atOne;
    } else if (x == -1.0) {
        res.re = odd ? -atOne : atOne;
    } else {
        res.re = chebyshevRecurrence(static_cast<unsigned>(n), x, 2.0);
    }
    res.im = 0.0;
}

}  // namespace Oru
