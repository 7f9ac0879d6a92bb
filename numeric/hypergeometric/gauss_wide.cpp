#include "numeric/hypergeometric/gauss_wide.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace Oru {

namespace {

using Limb = std::uint64_t;
using Unsigned = unsigned __int128;
using Signed = __int128;

constexpr int kLimbs = 6;
constexpr int kMaxTerms = 3000;
// The top limb is kept non-zero, so at least 64 (kLimbs - 1) bits are kept:
// each product or sum is truncated by at most this much of its operands.
constexpr long double kWideRounding = 0x1p-320L;
// Rounding of extended precision, for the product of the denominators.
constexpr long double kExtendedRounding = 0x1p-63L;
// The series stops once its tail, bounded by a geometric series, is below
// this fraction of the sum.
constexpr long double kTailBound = 0x1p-64L;
// The extended denominator is rescaled above this (each step multiplies it
// by less than 2^270).
constexpr long double kRescaleAbove = 0x1p12000L;
// A factor v + k is formed as an integer below 2^126 times 2^e, e <= 0.
constexpr int kMaxFactorBits = 126;
constexpr int kMaxFractionBits = kMaxFactorBits - 14;  // leaves room for k < 2^13

// sign * sum limb[i] 2^(64 i) * 2^exponent, the top limb non-zero unless the
// value is 0.
struct Wide {
    Limb limb[kLimbs] = {};
    long exponent = 0;
    bool negative = false;

    bool isZero() const { return limb[kLimbs - 1] == 0; }
};

// Keeps the kLimbs limbs from the highest non-zero one of `wider` (count
// limbs, least significant first, at 2^exponent), dropping those below.
void normalize(const Limb* wider, int count, long exponent, Wide& w) {
    int top = count - 1;
    while (top >= 0 && wider[top] == 0) --top;
    if (top < 0) {
        w = Wide{};
        return;
    }
    const int low = top - (kLimbs - 1);
    for (int i = 0; i < kLimbs; ++i) {
        const int source = low + i;
        w.limb[i] = source >= 0 ? wider[source] : 0;
    }
    w.exponent = exponent + 64L * low;
}

// w times the integer m > 0.
void multiply(Wide& w, Unsigned m) {
    if (w.isZero()) return;
    Limb product[kLimbs + 2] = {};
    const Limb parts[2] = {static_cast<Limb>(m), static_cast<Limb>(m >> 64)};
    for (int j = 0; j < 2; ++j) {
        if (parts[j] == 0) continue;
        Limb carry = 0;
        for (int i = 0; i < kLimbs; ++i) {
            const Unsigned t = static_cast<Unsigned>(w.limb[i]) * parts[j] + product[i + j] + carry;
            product[i + j] = static_cast<Limb>(t);
            carry = static_cast<Limb>(t >> 64);
        }
        for (int i = kLimbs + j; carry != 0 && i < kLimbs + 2; ++i) {
            const Unsigned t = static_cast<Unsigned>(product[i]) + carry;
            product[i] = static_cast<Limb>(t);
            carry = static_cast<Limb>(t >> 64);
        }
    }
    normalize(product, kLimbs + 2, w.exponent, w);
}

// The limbs of w shifted right by `bits` (truncated), into kLimbs + 1 limbs.
void shiftedLimbs(const Wide& w, long bits, Limb* out) {
    std::fill(out, out + kLimbs + 1, Limb{0});
    if (bits >= 64L * kLimbs) return;
    const int whole = static_cast<int>(bits / 64);
    const int rest = static_cast<int>(bits % 64);
    for (int i = 0; i + whole < kLimbs; ++i) {
        const Limb high = i + whole + 1 < kLimbs ? w.limb[i + whole + 1] : 0;
        out[i] = rest == 0 ? w.limb[i + whole] : (w.limb[i + whole] >> rest) | (high << (64 - rest));
    }
}

// Magnitudes compared limb by limb from the top.
bool smaller(const Limb* p, const Limb* q) {
    for (int i = kLimbs; i >= 0; --i) {
        if (p[i] != q[i]) return p[i] < q[i];
    }
    return false;
}

// x + y into x, both aligned to the coarser of their two grids.
void add(Wide& x, const Wide& y) {
    if (y.isZero()) return;
    if (x.isZero()) {
        x = y;
        return;
    }
    const long exponent = std::max(x.exponent, y.exponent);
    Limb p[kLimbs + 1];
    Limb q[kLimbs + 1];
    shiftedLimbs(x, exponent - x.exponent, p);
    shiftedLimbs(y, exponent - y.exponent, q);
    bool negative = x.negative;
    if (x.negative == y.negative) {
        Limb carry = 0;
        for (int i = 0; i <= kLimbs; ++i) {
            const Unsigned t = static_cast<Unsigned>(p[i]) + q[i] + carry;
            p[i] = static_cast<Limb>(t);
            carry = static_cast<Limb>(t >> 64);
        }
    } else {
        if (smaller(p, q)) {
            std::swap_ranges(p, p + kLimbs + 1, q);
            negative = y.negative;
        }
        Limb borrow = 0;
        for (int i = 0; i <= kLimbs; ++i) {
            const Unsigned t = static_cast<Unsigned>(p[i]) - q[i] - borrow;
            p[i] = static_cast<Limb>(t);
            borrow = static_cast<Limb>(t >> 64) != 0 ? 1 : 0;
        }
    }
    normalize(p, kLimbs + 1, exponent, x);
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

Scaled scaledOf(const Wide& w) {
    const long double top = static_cast<long double>(w.limb[kLimbs - 1]) +
                            std::ldexp(static_cast<long double>(w.limb[kLimbs - 2]), -64);
    return scaled(w.negative ? -top : top, w.exponent + 64L * (kLimbs - 1));
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

long double toExtended(Signed v) {
    return static_cast<long double>(v);
}

}  // namespace

// The terms t_k = T_k / D_k carry a numerator T_k (the product of the
// factors (a + j)(b + j) zNum, wide) and a denominator D_k (the product of
// (c + j)(j + 1) zDen, which needs only its relative accuracy, in extended
// precision). The sum is kept as N_k / D_k: N_{k+1} = N_k d_k + T_{k+1}, so
// no term is divided and every wide operation is a product by an exact
// integer or a sum. Each operation truncates by at most kWideRounding of its
// operands, so the error of N_K / D_K is at most about 12 K kWideRounding
// times the sum of the terms' magnitudes, plus the rounding of D_K.
WideSeriesSum wideGaussSeries(const DoubleDouble& a, const DoubleDouble& b, const DoubleDouble& c,
                              const DoubleDouble& zNum, const DoubleDouble& zDen) {
    constexpr WideSeriesSum kNone{0.0L, HUGE_VALL};
    const ShiftedFactor fa(a);
    const ShiftedFactor fb(b);
    const ShiftedFactor fc(c);
    const ExactValue zn = exactValueOf(zNum);
    const ExactValue zd = exactValueOf(zDen);
    if (!fa.valid() || !fb.valid() || !fc.valid() || !zn.valid || !zd.valid || zd.mantissa == 0) return kNone;
    const long shift =
        static_cast<long>(fa.exponent()) + fb.exponent() + zn.exponent - fc.exponent() - zd.exponent;
    const long double z = std::fabs(toLongDouble(zNum) / toLongDouble(zDen));
    const long double aExtended = toLongDouble(a);
    const long double bExtended = toLongDouble(b);
    const long double cExtended = toLongDouble(c);
    // Beyond this index no factor changes sign: the ratio of the terms
    // tends to z without turning back.
    const long double lastTurn = std::fmax(0.0L, -std::fmin(std::fmin(aExtended, bExtended), cExtended));

    Wide numerator;  // T_k
    numerator.limb[kLimbs - 1] = 1;
    numerator.exponent = -64L * (kLimbs - 1);
    Wide total = numerator;       // N_k
    Scaled denominator{0.5L, 1};  // D_k
    long double magnitudes = 1.0L;
    long double term = 1.0L;  // |t_k| in extended precision, for the bound and the stop
    int k = 0;
    for (;; ++k) {
        if (k >= kMaxTerms) return kNone;
        const Signed na = fa.at(k);
        const Signed nb = fb.at(k);
        const Signed dc = fc.at(k);
        if (na == 0 || nb == 0) break;  // a polynomial ends here
        if (dc == 0) return kNone;
        multiply(numerator, magnitude(na));
        multiply(numerator, magnitude(nb));
        multiply(numerator, magnitude(zn.mantissa));
        numerator.exponent += shift;
        if (((na < 0) != (nb < 0)) != (zn.mantissa < 0)) numerator.negative = !numerator.negative;
        const Unsigned next = static_cast<Unsigned>(k) + 1;
        for (Unsigned factor : {magnitude(dc), next, magnitude(zd.mantissa)}) multiply(total, factor);
        if ((dc < 0) != (zd.mantissa < 0)) total.negative = !total.negative;
        // |d| >= 1 only lets D grow; it is brought back near 1 now and then.
        denominator.mantissa *= toExtended(dc) * static_cast<long double>(k + 1) * toExtended(zd.mantissa);
        if (std::fabs(denominator.mantissa) > kRescaleAbove) {
            denominator = scaled(denominator.mantissa, denominator.exponent);
        }
        add(total, numerator);
        const long double j = k;
        term *= std::fabs((aExtended + j) * (bExtended + j) / ((cExtended + j) * (j + 1.0L))) * z;
        if (!(term <= LDBL_MAX)) return kNone;
        magnitudes += term;
        if (k > lastTurn) {
            const long double next = std::fabs((aExtended + j + 1.0L) * (bExtended + j + 1.0L) /
                                               ((cExtended + j + 1.0L) * (j + 2.0L))) *
                                     z;
            const long double ratio = std::max(next, z);
            // |sum| <= magnitudes: the sum itself is formed only where the
            // tail may be small enough.
            if (ratio < 1.0L && term <= kTailBound * (1.0L - ratio) * magnitudes &&
                term <= kTailBound * (1.0L - ratio) *
                            std::fabs(valueOf(quotient(scaledOf(total), denominator)))) {
                ++k;
                break;
            }
        }
    }
    const long double sum = valueOf(quotient(scaledOf(total), denominator));
    if (!(std::fabs(sum) <= LDBL_MAX)) return kNone;
    const long double terms = k + 1.0L;
    const long double error = 12.0L * terms * kWideRounding * magnitudes / std::fabs(sum) +
                              (6.0L * terms + 4.0L) * kExtendedRounding + kTailBound;
    return {sum, error};
}

}  // namespace Oru
