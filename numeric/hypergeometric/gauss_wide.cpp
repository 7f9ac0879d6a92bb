#include "numeric/hypergeometric/gauss_wide.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace Oru {

namespace {

using Limb = std::uint64_t;
using Unsigned = unsigned __int128;
using Signed = __int128;

// The most limbs, for the sums whose terms exceed them by up to about 2^250;
// fewer where a sum in extended precision shows that they cancel less.
constexpr int kMostLimbs = 6;
constexpr int kMaxTerms = 3000;
// Rounding of extended precision, for the product of the denominators.
constexpr long double kExtendedRounding = 0x1p-63L;
// The series stops once its tail, bounded by a geometric series, is below
// this fraction of the sum.
constexpr long double kTailBound = 0x1p-64L;
// The bound on the truncation that a sum with fewer limbs must reach, else it
// is summed again with the most.
constexpr long double kFewerLimbsTarget = 0x1p-52L;
// The sum is compared with the last term (for the stop) every few terms.
constexpr int kStopCheckEvery = 8;
// The extended denominator is rescaled above this (each step multiplies it
// by less than 2^270).
constexpr long double kRescaleAbove = 0x1p12000L;
// A factor v + k is formed as an integer below 2^126 times 2^e, e <= 0.
constexpr int kMaxFactorBits = 126;
constexpr int kMaxFractionBits = kMaxFactorBits - 14;  // leaves room for k < 2^13

// sign * sum limb[i] 2^(64 i) * 2^exponent, the top limb non-zero unless the
// value is 0. The top limb being non-zero, at least 64 (Limbs - 1) bits are
// kept: each product or sum is truncated by at most rounding() of its
// operands.
template <int Limbs>
struct Wide {
    Limb limb[Limbs] = {};
    long exponent = 0;
    bool negative = false;

    bool isZero() const { return limb[Limbs - 1] == 0; }
    static constexpr long double rounding() { return std::ldexp(1.0L, -64 * (Limbs - 1)); }
};

// Keeps the Limbs limbs from the highest non-zero one of `wider` (count
// limbs, least significant first, at 2^exponent), dropping those below.
template <int Limbs>
void normalize(const Limb* wider, int count, long exponent, Wide<Limbs>& w) {
    int top = count - 1;
    while (top >= 0 && wider[top] == 0) --top;
    if (top < 0) {
        w = Wide<Limbs>{};
        return;
    }
    const int low = top - (Limbs - 1);
    for (int i = 0; i < Limbs; ++i) {
        const int source = low + i;
        w.limb[i] = source >= 0 ? wider[source] : 0;
    }
    w.exponent = exponent + 64L * low;
}

// w times the integer 1 < m < 2^64 in one pass: the product has one limb
// more, and where that limb is not 0 the lowest is dropped (the top limb
// cannot fall to 0: m > 1 only lets it grow).
template <int Limbs>
void multiplyByLimb(Wide<Limbs>& w, Limb m) {
    Limb carry = 0;
    Limb product[Limbs];
    for (int i = 0; i < Limbs; ++i) {
        const Unsigned t = static_cast<Unsigned>(w.limb[i]) * m + carry;
        product[i] = static_cast<Limb>(t);
        carry = static_cast<Limb>(t >> 64);
    }
    if (carry == 0) {
        std::copy(product, product + Limbs, w.limb);
        return;
    }
    std::copy(product + 1, product + Limbs, w.limb);
    w.limb[Limbs - 1] = carry;
    w.exponent += 64;
}

// w times the integer m > 0.
template <int Limbs>
void multiply(Wide<Limbs>& w, Unsigned m) {
    if (w.isZero() || m == 1) return;
    if ((m >> 64) == 0) {
        multiplyByLimb(w, static_cast<Limb>(m));
        return;
    }
    Limb product[Limbs + 2] = {};
    const Limb parts[2] = {static_cast<Limb>(m), static_cast<Limb>(m >> 64)};
    for (int j = 0; j < 2; ++j) {
        if (parts[j] == 0) continue;
        Limb carry = 0;
        for (int i = 0; i < Limbs; ++i) {
            const Unsigned t = static_cast<Unsigned>(w.limb[i]) * parts[j] + product[i + j] + carry;
            product[i + j] = static_cast<Limb>(t);
            carry = static_cast<Limb>(t >> 64);
        }
        for (int i = Limbs + j; carry != 0 && i < Limbs + 2; ++i) {
            const Unsigned t = static_cast<Unsigned>(product[i]) + carry;
            product[i] = static_cast<Limb>(t);
            carry = static_cast<Limb>(t >> 64);
        }
    }
    normalize(product, Limbs + 2, w.exponent, w);
}

// w times the product of the integers `factors` (each > 0): those whose
// product fits one limb are multiplied in one pass.
template <int Limbs>
void multiplyAll(Wide<Limbs>& w, std::initializer_list<Unsigned> factors) {
    Limb gathered = 1;
    for (Unsigned m : factors) {
        Limb both = 0;
        if ((m >> 64) == 0 && !__builtin_mul_overflow(gathered, static_cast<Limb>(m), &both)) {
            gathered = both;
            continue;
        }
        multiply(w, gathered);
        if ((m >> 64) == 0) {
            gathered = static_cast<Limb>(m);
        } else {
            gathered = 1;
            multiply(w, m);
        }
    }
    multiply(w, gathered);
}

// The limbs of w shifted right by `bits` (truncated), into Limbs + 1 limbs.
template <int Limbs>
void shiftedLimbs(const Wide<Limbs>& w, long bits, Limb* out) {
    std::fill(out, out + Limbs + 1, Limb{0});
    if (bits >= 64L * Limbs) return;
    const int whole = static_cast<int>(bits / 64);
    const int rest = static_cast<int>(bits % 64);
    for (int i = 0; i + whole < Limbs; ++i) {
        const Limb high = i + whole + 1 < Limbs ? w.limb[i + whole + 1] : 0;
        out[i] = rest == 0 ? w.limb[i + whole] : (w.limb[i + whole] >> rest) | (high << (64 - rest));
    }
}

// Magnitudes of `count` limbs compared limb by limb from the top.
bool smaller(const Limb* p, const Limb* q, int count) {
    for (int i = count - 1; i >= 0; --i) {
        if (p[i] != q[i]) return p[i] < q[i];
    }
    return false;
}

// x + y into x, both aligned to the coarser of their two grids.
template <int Limbs>
void add(Wide<Limbs>& x, const Wide<Limbs>& y) {
    if (y.isZero()) return;
    if (x.isZero()) {
        x = y;
        return;
    }
    const long exponent = std::max(x.exponent, y.exponent);
    Limb p[Limbs + 1];
    Limb q[Limbs + 1];
    shiftedLimbs(x, exponent - x.exponent, p);
    shiftedLimbs(y, exponent - y.exponent, q);
    bool negative = x.negative;
    if (x.negative == y.negative) {
        Limb carry = 0;
        for (int i = 0; i <= Limbs; ++i) {
            const Unsigned t = static_cast<Unsigned>(p[i]) + q[i] + carry;
            p[i] = static_cast<Limb>(t);
            carry = static_cast<Limb>(t >> 64);
        }
    } else {
        if (smaller(p, q, Limbs + 1)) {
            std::swap_ranges(p, p + Limbs + 1, q);
            negative = y.negative;
        }
        Limb borrow = 0;
        for (int i = 0; i <= Limbs; ++i) {
            const Unsigned t = static_cast<Unsigned>(p[i]) - q[i] - borrow;
            p[i] = static_cast<Limb>(t);
            borrow = static_cast<Limb>(t >> 64) != 0 ? 1 : 0;
        }
    }
    normalize(p, Limbs + 1, exponent, x);
    x.negative = negative;
}

// A value m 2^e with m in extended precision, e unbounded.
struct Scaled {
    long double mantissa;
    long exponent;
};

Scaled scaled(long double m, long e) {
    int shift = 0;
    const long double f = std::frexp(m, &shift);
    return {f, e + shift};
}

template <int Limbs>
Scaled scaledOf(const Wide<Limbs>& w) {
    const long double top = static_cast<long double>(w.limb[Limbs - 1]) +
                            std::ldexp(static_cast<long double>(w.limb[Limbs - 2]), -64);
    return scaled(w.negative ? -top : top, w.exponent + 64L * (Limbs - 1));
}

Scaled quotient(const Scaled& p, const Scaled& q) {
    return scaled(p.mantissa / q.mantissa, p.exponent - q.exponent);
}

long double valueOf(const Scaled& s) {
    const long e = std::clamp(s.exponent, -20000L, 20000L);
    return std::ldexp(s.mantissa, static_cast<int>(e));
}

// v = mantissa 2^exponent exactly, exponent <= 0, |mantissa| < 2^kMaxFactorBits.
struct ExactValue {
    Signed mantissa = 0;
    int exponent = 0;
    bool valid = false;
};

ExactValue exactValueOf(const DoubleDouble& v) {
    const double parts[2] = {v.hi, v.lo};
    int exponent = 0;
    for (double d : parts) {
        if (d != 0.0) exponent = std::min(exponent, std::ilogb(d) - 52);
    }
    ExactValue e;
    e.exponent = exponent;
    for (double d : parts) {
        if (d == 0.0) continue;
        const int top = std::ilogb(d) - exponent + 1;  // bits of d / 2^exponent
        if (top > kMaxFactorBits - 1 || -exponent > kMaxFractionBits) return e;
        const int own = std::ilogb(d) - 52;
        const double integer = std::ldexp(d, -own);  // exact, below 2^53 (own >= exponent)
        e.mantissa += static_cast<Signed>(static_cast<std::int64_t>(integer)) *
                      (static_cast<Signed>(1) << (own - exponent));
    }
    e.valid = true;
    return e;
}

Unsigned magnitude(Signed v) {
    return v < 0 ? static_cast<Unsigned>(-v) : static_cast<Unsigned>(v);
}

// The factors v + k, k = 0, 1, ..., as exact integers m_k with
// v + k = m_k 2^exponent.
class ShiftedFactor {
public:
    explicit ShiftedFactor(const DoubleDouble& v) : exact_(exactValueOf(v)) {
        if (exact_.valid) step_ = static_cast<Signed>(1) << -exact_.exponent;
    }
    bool valid() const { return exact_.valid; }
    int exponent() const { return exact_.exponent; }
    Signed at(int k) const { return exact_.mantissa + step_ * k; }

private:
    ExactValue exact_;
    Signed step_ = 1;
};

// Exact below 2^64 (where the conversion is also quickest).
long double toExtended(Signed v) {
    const bool small = v >= INT64_MIN && v <= INT64_MAX;
    return small ? static_cast<long double>(static_cast<std::int64_t>(v)) : static_cast<long double>(v);
}

// The parameters of a series as exact integers and their extended values.
struct SeriesFactors {
    ShiftedFactor a, b, c;
    ExactValue zNum, zDen;
    long shift = 0;  // the binary exponent each term gains over its factors' integers
    long double aExtended = 0.0L, bExtended = 0.0L, cExtended = 0.0L, z = 0.0L;
    // Beyond this index no factor changes sign: the ratio of the terms
    // tends to z without turning back.
    long double lastTurn = 0.0L;
};

constexpr WideSeriesSum kNone{0.0L, HUGE_VALL};

// The terms t_k = T_k / D_k carry a numerator T_k (the product of the
// factors (a + j)(b + j) zNum, wide) and a denominator D_k (the product of
// (c + j)(j + 1) zDen, which needs only its relative accuracy, in extended
// precision). The sum is kept as N_k / D_k: N_{k+1} = N_k d_k + T_{k+1}, so
// no term is divided and every wide operation is a product by an exact
// integer or a sum. Each operation truncates by at most the rounding of the
// wide numbers of its operands, and a term takes at most six of them, so
// the error of N_K / D_K is at most about 12 K times that rounding times the
// sum of the terms' magnitudes (`truncation`), plus the rounding of D_K.
template <int Limbs>
WideSeriesSum sumSeries(const SeriesFactors& f, long double& truncation) {
    Wide<Limbs> numerator;  // T_k
    numerator.limb[Limbs - 1] = 1;
    numerator.exponent = -64L * (Limbs - 1);
    Wide<Limbs> total = numerator;  // N_k
    Scaled denominator{0.5L, 1};    // D_k
    const long double zDen = toExtended(f.zDen.mantissa);
    // |t_(j+1) / t_j| in extended precision, for the bound and the stop.
    const auto ratioAt = [&f](long double j) {
        return std::fabs((f.aExtended + j) * (f.bExtended + j) / ((f.cExtended + j) * (j + 1.0L))) * f.z;
    };
    long double magnitudes = 1.0L;
    long double term = 1.0L;  // |t_k|
    long double ratio = ratioAt(0.0L);
    int k = 0;
    for (;; ++k) {
        if (k >= kMaxTerms) return kNone;
        const Signed na = f.a.at(k);
        const Signed nb = f.b.at(k);
        const Signed dc = f.c.at(k);
        if (na == 0 || nb == 0) break;  // a polynomial ends here
        if (dc == 0) return kNone;
        multiplyAll(numerator, {magnitude(na), magnitude(nb), magnitude(f.zNum.mantissa)});
        numerator.exponent += f.shift;
        if (((na < 0) != (nb < 0)) != (f.zNum.mantissa < 0)) numerator.negative = !numerator.negative;
        const Unsigned next = static_cast<Unsigned>(k) + 1;
        multiplyAll(total, {next, magnitude(f.zDen.mantissa), magnitude(dc)});
        if ((dc < 0) != (f.zDen.mantissa < 0)) total.negative = !total.negative;
        // |d| >= 1 only lets D grow; it is brought back near 1 now and then.
        denominator.mantissa *= toExtended(dc) * static_cast<long double>(k + 1) * zDen;
        if (std::fabs(denominator.mantissa) > kRescaleAbove) {
            denominator = scaled(denominator.mantissa, denominator.exponent);
        }
        add(total, numerator);
        term *= ratio;
        if (!(term <= LDBL_MAX)) return kNone;
        magnitudes += term;
        ratio = ratioAt(k + 1.0L);
        if (k > f.lastTurn) {
            const long double tailRatio = std::max(ratio, f.z);
            // |sum| <= magnitudes: the sum itself is formed only where the
            // tail may be small enough, and only every few terms (it takes
            // longer than a term).
            if (tailRatio < 1.0L && term <= kTailBound * (1.0L - tailRatio) * magnitudes &&
                k % kStopCheckEvery == 0 &&
                term <= kTailBound * (1.0L - tailRatio) *
                            std::fabs(valueOf(quotient(scaledOf(total), denominator)))) {
                ++k;
                break;
            }
        }
    }
    const long double sum = valueOf(quotient(scaledOf(total), denominator));
    if (!(std::fabs(sum) <= LDBL_MAX)) return kNone;
    const long double terms = k + 1.0L;
    truncation = 12.0L * terms * Wide<Limbs>::rounding() * magnitudes / std::fabs(sum);
    return {sum, truncation + (6.0L * terms + 4.0L) * kExtendedRounding + kTailBound};
}

// The fewest limbs whose bound, 12 K rounding spread with K < kMaxTerms,
// stays below kFewerLimbsTarget for a given spread; the most where the
// spread is not known.
template <int Limbs>
bool enoughLimbs(long double spread) {
    return 12.0L * kMaxTerms * Wide<Limbs>::rounding() * spread <= kFewerLimbsTarget;
}

}  // namespace

WideSeriesSum wideGaussSeries(const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                              const DoubleDouble& zNum, const DoubleDouble& zDen, long double spread) {
    SeriesFactors f{ShiftedFactor(a), ShiftedFactor(b), ShiftedFactor(c), exactValueOf(zNum),
                    exactValueOf(zDen)};
    if (!f.a.valid() || !f.b.valid() || !f.c.valid() || !f.zNum.valid || !f.zDen.valid ||
        f.zDen.mantissa == 0) {
        return kNone;
    }
    f.shift = static_cast<long>(f.a.exponent()) + f.b.exponent() + f.zNum.exponent - f.c.exponent() -
              f.zDen.exponent;
    f.aExtended = toLongDouble(a);
    f.bExtended = toLongDouble(b);
    f.cExtended = toLongDouble(c);
    f.z = std::fabs(toLongDouble(zNum) / toLongDouble(zDen));
    f.lastTurn = std::fmax(0.0L, -std::fmin(std::fmin(f.aExtended, f.bExtended), f.cExtended));
    long double truncation = HUGE_VALL;
    if (enoughLimbs<3>(spread) || enoughLimbs<4>(spread)) {
        const WideSeriesSum fewer =
            enoughLimbs<3>(spread) ? sumSeries<3>(f, truncation) : sumSeries<4>(f, truncation);
        if (truncation <= kFewerLimbsTarget) return fewer;
    }
    return sumSeries<kMostLimbs>(f, truncation);
}

}  // namespace Oru
