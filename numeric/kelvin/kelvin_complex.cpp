#include "numeric/kelvin/kelvin_complex.hpp"

#include <cmath>

namespace Oru {

namespace {

using Real = long double;

struct Complex {
    Real re;
    Real im;
};

Complex operator+(Complex a, Complex b) {
    return {a.re + b.re, a.im + b.im};
}
Complex operator-(Complex a, Complex b) {
    return {a.re - b.re, a.im - b.im};
}
Complex operator*(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
Complex operator*(Real s, Complex a) {
    return {s * a.re, s * a.im};
}
Real magnitude(Complex a) {
    return std::fabs(a.re) + std::fabs(a.im);
}

constexpr Real kRootHalf = 0.707106781186547524400844362104849039L;  // sqrt(2)/2 = cos(pi/4)
constexpr Real kCosEighthPi = 0.923879532511286756128183189396788933L;
constexpr Real kSinEighthPi = 0.382683432365089771728459984030398866L;
constexpr Real kTwoPi = 6.28318530717958647692528676655900577L;

// e^(3 n pi i / 4), exactly: (cos, sin) of 3n pi / 4 by n modulo 8.
Complex threeQuarterTurns(unsigned n) {
    constexpr Real r = kRootHalf;
    constexpr Real cosines[8] = {1, -r, 0, r, -1, r, 0, -r};
    constexpr Real sines[8] = {0, r, -1, r, 0, -r, 1, -r};
    return {cosines[n % 8], sines[n % 8]};
}

// ---- the power series with exact phases --------------------------------------

// h^n / n!: the power and the factorial are folded into the product every 64
// steps, so that neither leaves the extended range for any order. Once the
// product has underflowed to 0 it stays there.
Real leadingFactor(unsigned n, Real h) {
    Real product = 1, power = 1, factorial = 1;
    for (unsigned j = 1; j <= n; ++j) {
        power *= h;
        factorial *= static_cast<Real>(j);
        if ((j & 63u) == 0) {
            product *= power / factorial;
            power = factorial = 1;
            if (product == 0) return 0;
        }
    }
    return product * (power / factorial);
}

}  // namespace

// J_n(z) = (z/2)^n sum_k (-z^2/4)^k / (k! (n+k)!) with z = x e^(3 pi i / 4):
// -z^2/4 = i h^2 (h = x/2), so the sum is even + i odd with the real sums
// even = sum over even k of (-1)^(k/2) m_k, odd = sum over odd k of
// (-1)^((k-1)/2) m_k, m_k = h^(2k) n! / (k! (n+k)!), and (z/2)^n / n! is
// h^n / n! times e^(3 n pi i / 4).
KelvinPair kelvinExtendedSeries(unsigned n, double x) {
    const Real h = static_cast<Real>(x) / 2;
    const Real leading = leadingFactor(n, h);
    if (leading == 0) return {0, 0};
    const Real h2 = h * h;
    const Real order = n;
    Real even = 1, odd = 0, term = 1;
    Real k = 0;
    // The terms grow while k (n + k) < h^2 < 121, then fall faster than
    // geometrically: a few dozen passes at most.
    for (int pass = 0; pass < 1000; ++pass) {
        term *= h2 / ((k + 1) * (order + k + 1));
        odd += term;
        term *= h2 / ((k + 2) * (order + k + 2));
        even -= term;
        term *= h2 / ((k + 3) * (order + k + 3));
        odd -= term;
        term *= h2 / ((k + 4) * (order + k + 4));
        even += term;
        k += 4;
        if ((k + 1) * (order + k + 1) > h2 && term < 0x1p-66L * (std::fabs(even) + std::fabs(odd))) break;
    }
    const Complex sum = leading * (threeQuarterTurns(n) * Complex{even, odd});
    return {sum.re, sum.im};
}

namespace {

// ---- large arguments ---------------------------------------------------------
//
// J_n(x e^(3 pi i/4)) = i^n I_n(w) with w = x e^(pi i/4), and for |ph w| < pi/2
//   I_n(w) ~ (e^w S_-(w) + i (-1)^n e^(-w) S_+(w)) / sqrt(2 pi w),
//   S_-+(w) = sum_k (-+1)^k a_k(n) / w^k,
//   a_k(n) = (4n^2 - 1)(4n^2 - 9) ... (4n^2 - (2k-1)^2) / (k! 8^k).
// The second exponential is e^(-x sqrt 2) times the first: below 2^-52 from
// x = 26 on, but kept (it is what makes x = 22 exact). With
// e^w / sqrt(2 pi w) = e^(x/sqrt2) / sqrt(2 pi x) e^(i (x/sqrt2 - pi/8)), the
// scaled values Jhat_n = J_n sqrt(2 pi x) / e^(x/sqrt2) are
//   Jhat_0 = e^(i (phi - pi/8)) S_- + i e^(-x sqrt2) e^(-i (phi + pi/8)) S_+,
//   Jhat_1 = i e^(i (phi - pi/8)) S_- + e^(-x sqrt2) e^(-i (phi + pi/8)) S_+,
// with phi = x / sqrt 2 formed in extended precision (an error of phi is an
// error of the phase: x / sqrt 2 in double would cost 2^-45 at x = 1000).

struct OrdersZeroAndOne {
    Complex zero;
    Complex one;
};

// The expansion is summed until both series' terms fall below 2^-60 (the
// remainder is then below a few times that: the error bound of the
// expansion for |ph w| <= pi/2 is a small multiple of the first term left
// out). From x = 22 on this happens before the terms turn to grow.
OrdersZeroAndOne asymptoticOrdersZeroAndOne(Real x) {
    const Complex omega{kRootHalf, -kRootHalf};  // w^-1 = x^-1 e^(-i pi/4)
    Complex term0{1, 0}, term1{1, 0};
    Complex minus0{1, 0}, plus0{1, 0}, minus1{1, 0}, plus1{1, 0};
    for (int k = 1; k <= 100; ++k) {
        const Real odd = static_cast<Real>(2 * k - 1) * static_cast<Real>(2 * k - 1);
        const Real denominator = 8 * k * x;
        term0 = (-odd / denominator) * (omega * term0);
        term1 = ((4 - odd) / denominator) * (omega * term1);
        const Real sign = (k & 1) ? -1 : 1;
        minus0 = minus0 + sign * term0;
        plus0 = plus0 + term0;
        minus1 = minus1 + sign * term1;
        plus1 = plus1 + term1;
        if (magnitude(term0) < 0x1p-60L && magnitude(term1) < 0x1p-60L) break;
    }
    const Real phi = x * kRootHalf;
    const Real c = std::cos(phi), s = std::sin(phi);
    const Complex growing{c * kCosEighthPi + s * kSinEighthPi, s * kCosEighthPi - c * kSinEighthPi};
    const Real recessive = std::exp(-2 * phi);
    const Complex decaying =
        recessive * Complex{c * kCosEighthPi - s * kSinEighthPi, -(s * kCosEighthPi + c * kSinEighthPi)};
    const Complex i{0, 1};
    return {growing * minus0 + i * (decaying * plus0), i * (growing * minus1) + decaying * plus1};
}

// The recurrence in the order J_(k+1) = (2k / z) J_k - J_(k-1), with
// 2/z = (2/x) e^(-3 pi i/4).
Complex twoOverZ(Real x) {
    return (2 / x) * Complex{-kRootHalf, -kRootHalf};
}

// Upward from J_0 and J_1. Along the ray of z, J_n is the smaller solution of
// the recurrence (the other grows away from it like e^(0.6 n^2 / x)), so the
// upward direction loses that factor: used only while n^2 <= 8x, where it
// costs less than 2^7 units of 2^-64.
Complex upwardRecurrence(unsigned n, Real x, const OrdersZeroAndOne& start) {
    const Complex step = twoOverZ(x);
    Complex previous = start.zero, current = start.one;
    for (unsigned k = 1; k < n; ++k) {
        const Complex next = (static_cast<Real>(k) * step) * current - previous;
        previous = current;
        current = next;
    }
    return current;
}

// Downward from N = sqrt(n^2 + 100 x) + 10 with f_(N+1) = 0, f_N = 1 to
// f_0 (Miller's method): the direction in which J_n is the growing solution,
// so that the start's error has shrunk by e^-60 at n; then
// J_n = J_0 f_n / f_0. The values grow downward; they are scaled by 2^-4096
// whenever they pass 2^4096, the scale kept as an exponent.
Complex downwardRecurrence(unsigned n, Real x, Complex orderZero) {
    const Complex step = twoOverZ(x);
    const Real order = n;
    const unsigned start = static_cast<unsigned>(std::sqrt(order * order + 100 * x)) + 10;
    Complex above{0, 0}, current{1, 0}, atN{0, 0};
    long exponent = 0, exponentAtN = 0;
    for (unsigned k = start; k >= 1; --k) {
        const Complex below = (static_cast<Real>(k) * step) * current - above;
        above = current;
        current = below;
        if (std::ilogb(magnitude(current)) > 4096) {
            current = std::scalbn(Real(1), -4096) * current;
            above = std::scalbn(Real(1), -4096) * above;
            exponent += 4096;
        }
        if (k - 1 == n) {
            atN = current;
            exponentAtN = exponent;
        }
    }
    // f_n / f_0 = f_n conj(f_0) / |f_0|^2, and |f_0| < 2^4097.
    const Complex conjugate{current.re, -current.im};
    const Real norm = current.re * current.re + current.im * current.im;
    const Real rescale = std::scalbn(Real(1) / norm, static_cast<int>(exponentAtN - exponent));
    return orderZero * (rescale * (atN * conjugate));
}

}  // namespace

KelvinPair kelvinLargeArgument(unsigned n, double x) {
    const Real ax = std::fabs(static_cast<Real>(x));
    const OrdersZeroAndOne start = asymptoticOrdersZeroAndOne(ax);
    Complex scaled = start.zero;
    if (n == 1) {
        scaled = start.one;
    } else if (n > 1) {
        const Real order = n;
        scaled = (order * order <= 8 * ax) ? upwardRecurrence(n, ax, start)
                                           : downwardRecurrence(n, ax, start.zero);
    }
    const Real scale = std::exp(ax * kRootHalf) / std::sqrt(kTwoPi * ax);
    // ber_n and bei_n have the parity of n in x.
    const Real sign = (x < 0 && (n & 1u) != 0) ? -1 : 1;
    return {sign * (scale * scaled.re), sign * (scale * scaled.im)};
}

}  // namespace Oru
