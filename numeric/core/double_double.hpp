#pragma once

// Double-double arithmetic: a value hi + lo carried as the unevaluated sum of
// two doubles with |lo| <= ulp(hi)/2, about 106 significant bits. The
// error-free transformations below (Knuth's two-sum, Dekker's product with
// Veltkamp's split) are exact in round-to-nearest as long as no intermediate
// value overflows; they rely on the build's -ffp-contract=off, which keeps
// every product and sum rounded on its own. Used where a sum of terms far
// larger than itself must keep a double's worth of correct digits.

namespace Oru {

struct DoubleDouble {
    double hi;
    double lo;

    constexpr DoubleDouble() : hi(0.0), lo(0.0) {}
    constexpr DoubleDouble(double v) : hi(v), lo(0.0) {}  // NOLINT: a double is a double-double
    constexpr DoubleDouble(double h, double l) : hi(h), lo(l) {}
};

// a + b = s + e exactly.
inline DoubleDouble twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    const double e = (a - (s - bb)) + (b - bb);
    return {s, e};
}

// a + b = s + e exactly, for |a| >= |b|.
inline DoubleDouble quickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a * b = p + e exactly (Dekker), splitting each factor into 26-bit halves.
inline DoubleDouble twoProduct(double a, double b) {
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const double p = a * b;
    const double ta = kSplitter * a;
    const double ah = ta - (ta - a);
    const double al = a - ah;
    const double tb = kSplitter * b;
    const double bh = tb - (tb - b);
    const double bl = b - bh;
    const double e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    return {p, e};
}

inline DoubleDouble operator+(const DoubleDouble& a, const DoubleDouble& b) {
    const DoubleDouble s = twoSum(a.hi, b.hi);
    const DoubleDouble t = twoSum(a.lo, b.lo);
    const DoubleDouble u = quickTwoSum(s.hi, s.lo + t.hi);
    return quickTwoSum(u.hi, u.lo + t.lo);
}

inline DoubleDouble operator-(const DoubleDouble& a) {
    return {-a.hi, -a.lo};
}

inline DoubleDouble operator-(const DoubleDouble& a, const DoubleDouble& b) {
    return a + (-b);
}

inline DoubleDouble operator*(const DoubleDouble& a, const DoubleDouble& b) {
    const DoubleDouble p = twoProduct(a.hi, b.hi);
    return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DoubleDouble operator/(const DoubleDouble& a, const DoubleDouble& b) {
    // Two steps of long division: q1 = a/b to double precision, then the
    // remainder divided again.
    const double q1 = a.hi / b.hi;
    const DoubleDouble r = a - b * DoubleDouble(q1);
    const double q2 = r.hi / b.hi;
    const DoubleDouble r2 = r - b * DoubleDouble(q2);
    const double q3 = r2.hi / b.hi;
    return DoubleDouble(quickTwoSum(q1, q2)) + DoubleDouble(q3);
}

inline long double toLongDouble(const DoubleDouble& a) {
    return static_cast<long double>(a.hi) + a.lo;
}

}  // namespace Oru
