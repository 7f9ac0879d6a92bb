#pragma once

// ber_n(x) + i bei_n(x) = J_n(x e^(3 pi i / 4)) in extended precision, by the
// two methods that take over where the power series of the kernels is not
// good enough: the same series with exact phases and a stopping rule relative
// to the sum for small |x|, and the asymptotic expansion with the three-term
// recurrence in the order for large |x|.

namespace Oru {

struct KelvinPair {
    long double ber;
    long double bei;
};

// From this |x| on the asymptotic expansion of orders 0 and 1 reaches 2^-60
// before its terms start to grow (it does from about 20.8); below it the
// series cancels by less than 2^-12 at every order.
inline constexpr double kKelvinLargeArgumentFrom = 22.0;

// The highest order the large-argument method is run for (its cost grows
// with the order).
inline constexpr unsigned kKelvinLargestOrder = 10000;

// The power series summed in extended precision with the phases
// e^(3 n pi i / 4) exact (0, +-1, +-sqrt(2)/2), until a term falls below
// 2^-66 of the sum once the terms decrease. Cancellation costs the sum about
// I_n(|x|) / |J_n(x e^(3 pi i / 4))|, under 2^12 for |x| < 22 at every
// order, so the result is within a few units of 2^-52. Any order, any x
// with |x| < kKelvinLargeArgumentFrom.
KelvinPair kelvinExtendedSeries(unsigned n, double x);

// For |x| >= kKelvinLargeArgumentFrom and n <= kKelvinLargestOrder (x
// finite): the asymptotic expansion of order n while n^2 <= 2|x|, else that
// of order 0 and the recurrence J_(k-1) = (2k/z) J_k - J_(k+1) downward from
// above n (Miller's method). A value beyond the extended range is an
// infinity.
KelvinPair kelvinLargeArgument(unsigned n, double x);

}  // namespace Oru
