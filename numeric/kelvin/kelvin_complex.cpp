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
// with phi = x / sqrt 2. They are summed in double (a few units of 2^-53);
// the recurrences in the order run in extended precision.

// e^(i phi) for phi = x / sqrt 2, to a few units of 2^-53 for every x: phi
// is formed as p + l, p the double product with the leading half of sqrt(1/2)
// and l what p leaves out (Dekker's exact product and the trailing half), and
// e^(i (p + l)) = e^(i p) (1 + i l) to within l^2 < 2^-80. (x / sqrt 2 in
// double alone would turn the phase by up to 2^-45 at x = 1000.)
struct Phase {
    double p;
    double l;
    double cosine;
    double sine;
};

Phase phaseOf(double x) {
    constexpr double rootHalfHigh = 0x1.6a09e667f3bcdp-1;   // sqrt(1/2) rounded up
    constexpr double rootHalfLow = -0x1.bdd3413b26456p-55;  // sqrt(1/2) - rootHalfHigh
    constexpr double split = 134217729.0;                   // 2^27 + 1, Veltkamp's splitter
    const double p = x * rootHalfHigh;
    const double xBig = x * split, cBig = rootHalfHigh * split;
    const double xHigh = xBig - (xBig - x), xLow = x - xHigh;
    const double cHigh = cBig - (cBig - rootHalfHigh), cLow = rootHalfHigh - cHigh;
    const double productError = ((xHigh * cHigh - p) + xHigh * cLow + xLow * cHigh) + xLow * cLow;
    const double l = productError + x * rootHalfLow;
    const double c = std::cos(p), s = std::sin(p);
    return {p, l, c - s * l, s + c * l};
}

// Jhat_n by the expansion of order n. The terms are a_k(n) w^-k with
// w^-k = x^-k e^(-i k pi/4): the real factors a_k(n) x^-k are summed into
// eight bins by k modulo 8, and the bins turned by their phase at the end.
// The sum stops once a term is below 2^-56 (the remainder is then below a few
// times that: the error bound of the expansion for |ph w| <= pi/2 is a small
// multiple of the first term left out), or where the terms turn to grow,
// which for 4 n^2 <= 8 x and x >= 22 happens only below that (measured).
// The recessive exponential is below 2^-61 of the leading one from x = 30 on.
Complex asymptoticExpansion(unsigned n, double x, const Phase& phase) {
    const double fourOrderSquared = 4.0 * n * n;
    double bins[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    double factor = 1, previous = INFINITY;
    for (int k = 1; k <= 200; ++k) {
        const double odd = static_cast<double>(2 * k - 1) * static_cast<double>(2 * k - 1);
        factor *= (fourOrderSquared - odd) / (8.0 * k * x);
        bins[k & 7] += factor;
        const double size = std::fabs(factor);
        if (size < 0x1p-56 || size > previous) break;
        previous = size;
    }
    // S_- = sum_j (-1)^j bins[j] w^j and S_+ = sum_j bins[j] w^j with w^j = e^(-i j pi/4).
    constexpr double r = 0x1.6a09e667f3bcdp-1;  // sqrt(1/2)
    constexpr double turnRe[8] = {1, r, 0, -r, -1, -r, 0, r};
    constexpr double turnIm[8] = {0, -r, -1, -r, 0, r, 1, r};
    Complex minus{0, 0}, plus{0, 0};
    for (int j = 0; j < 8; ++j) {
        const Complex term{bins[j] * turnRe[j], bins[j] * turnIm[j]};
        plus = plus + term;
        minus = (j & 1) ? minus - term : minus + term;
    }
    constexpr double cos8 = 0x1.d906bcf328d46p-1, sin8 = 0x1.87de2a6aea963p-2;  // cos, sin of pi/8
    const double c = phase.cosine, s = phase.sine;
    // e^(i (phi - pi/8)) S_- + i (-1)^n e^(-x sqrt2) e^(-i (phi + pi/8)) S_+, then times i^n.
    Complex sum = Complex{c * cos8 + s * sin8, s * cos8 - c * sin8} * minus;
    if (x < 30.0) {
        const Real decay = std::exp(-2.0 * (phase.p + phase.l));
        const Complex recessive = decay * (Complex{c * cos8 - s * sin8, -(s * cos8 + c * sin8)} * plus);
        const Real sign = (n & 1u) ? -1 : 1;
        sum = sum + sign * Complex{-recessive.im, recessive.re};
    }
    switch (n & 3u) {
        case 1:
            return {-sum.im, sum.re};
        case 2:
            return {-sum.re, -sum.im};
        case 3:
            return {sum.im, -sum.re};
        default:
            return sum;
    }
}

// The recurrence in the order J_(k+1) = (2k / z) J_k - J_(k-1), with
// 2/z = (2/x) e^(-3 pi i/4).
Complex twoOverZ(Real x) {
    return (2 / x) * Complex{-kRootHalf, -kRootHalf};
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
        if (magnitude(current) > 0x1p4096L) {
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
    const double ax = std::fabs(x);
    const Phase phase = phaseOf(ax);
    // The expansion of order n itself while its terms fall from the start
    // (n^2 <= 2x); above, order 0 and the recurrence downward from above n.
    const double order = n;
    const Complex scaled = (order * order <= 2 * ax)
                               ? asymptoticExpansion(n, ax, phase)
                               : downwardRecurrence(n, ax, asymptoticExpansion(0, ax, phase));
    // e^phi / sqrt(2 pi x), e^phi = e^p (1 + l); past e^700 in extended precision.
    const Real growth =
        phase.p < 700.0 ? static_cast<Real>(std::exp(phase.p)) : std::exp(static_cast<Real>(phase.p));
    const Real scale = growth * (1 + static_cast<Real>(phase.l)) / std::sqrt(kTwoPi * ax);
    // ber_n and bei_n have the parity of n in x.
    const Real sign = (x < 0 && (n & 1u) != 0) ? -1 : 1;
    return {sign * (scale * scaled.re), sign * (scale * scaled.im)};
}

}  // namespace Oru
