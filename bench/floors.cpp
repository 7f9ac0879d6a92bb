#include "bench/floors.hpp"

#include "bench/family_floors.hpp"

#include <cmath>

#include "numeric/core/integer.hpp"
#include "oru/utility.hpp"

namespace OruBench {

namespace {

// The floor of a kernel: its fixed sequence of checks, floating-point
// operations and library calls on the same inputs, written out in one
// function with nothing else (no early end at a NaN, no test for overflow
// and no rescue, no method chosen), so that the kernel's time over the
// floor's is what its own structure and bookkeeping cost. The
// integer test is the shared one the kernels call.

// The degree and point checks of Tcheb, Ucheb, Her, Lag and Leg.
int checkedDegree(const tabulComplex* a) {
    if (a[0].im != 0.0) Oru::Throw("must be real", 1);
    if (Oru::checkInteger(a[0].re) != Oru::IsInteger) Oru::Throw("must be integer", 1);
    const int n = Oru::acceptedInteger(a[0].re);
    if (n < 0) Oru::Throw("must be non-negative integer", 1);
    if (a[1].im != 0.0) Oru::Throw("must be real", 2);
    return n;
}

// T_n and U_n: the special points, then the same recurrence on |x| from
// T_1 = y, U_1 = 2y, and the parity rule.
double chebyshev(int n, double x, double firstFactor, double atOne) {
    if (n == 0) return 1.0;
    if (x == 1.0) return atOne;
    if (x == -1.0) return (n & 1) != 0 ? -atOne : atOne;
    const double y = std::fabs(x);
    if (n == 1) return firstFactor * x;
    double previous = 1.0;
    double current = firstFactor * y;
    for (int k = 1; k < n; ++k) {
        const double next = 2.0 * (y * current) - previous;
        previous = current;
        current = next;
    }
    return (x < 0.0 && (n & 1) != 0) ? -current : current;
}

void tchebFloor(tabulComplex& r, const tabulComplex* a) {
    const int n = checkedDegree(a);
    r.re = chebyshev(n, a[1].re, 1.0, 1.0);
    r.im = 0.0;
}

void uchebFloor(tabulComplex& r, const tabulComplex* a) {
    const int n = checkedDegree(a);
    r.re = chebyshev(n, a[1].re, 2.0, static_cast<double>(n) + 1.0);
    r.im = 0.0;
}

void herFloor(tabulComplex& r, const tabulComplex* a) {
    const int n = checkedDegree(a);
    const double x = a[1].re;
    double previous = 1.0;
    double current = n == 0 ? 1.0 : x + x;
    for (int k = 2; k <= n; ++k) {
        const double next = 2.0 * (x * current - (static_cast<double>(k) - 1.0) * previous);
        previous = current;
        current = next;
    }
    r.re = current;
    r.im = 0.0;
}

void lagFloor(tabulComplex& r, const tabulComplex* a) {
    const int n = checkedDegree(a);
    const double x = a[1].re;
    double previous = 1.0;
    double current = n == 0 ? 1.0 : 1.0 - x;
    for (int k = 2; k <= n; ++k) {
        const double correction = (previous - current - x * current) / static_cast<double>(k);
        const double next = (2.0 * current - previous) + correction;
        previous = current;
        current = next;
    }
    r.re = current;
    r.im = 0.0;
}

void legFloor(tabulComplex& r, const tabulComplex* a) {
    const int n = checkedDegree(a);
    const double x = a[1].re;
    r.im = 0.0;
    if (n < 2) {
        r.re = n == 1 ? x : 1.0;
        return;
    }
    if (n == 2) {
        r.re = ((x * x) * 3.0 - 1.0) * 0.5;
        return;
    }
    const double y = std::fabs(x);
    double previous = 1.0;
    double current = y;
    for (int k = 2; k <= n; ++k) {
        const double yP = y * current;
        const double d = yP - previous;
        const double next = (yP + d) - d / static_cast<double>(k);
        previous = current;
        current = next;
    }
    r.re = (x <= 0.0 && (n & 1) != 0) ? -current : current;
}

// P_n^(alpha, beta): the degree's own test (floor(a + 0.1) within 1e-10, in
// the exact form the kernel uses), the parameters' bounds, the recurrence.
void jacFloor(tabulComplex& r, const tabulComplex* a) {
    const double degree = a[0].re;
    if (a[0].im != 0.0) Oru::Throw("must be real", 1);
    if (!(std::fabs(degree - Oru::exactFloor(degree + 0.1)) <= 1e-10)) Oru::Throw("must be integer", 1);
    if (degree < 0) Oru::Throw("must be non-negative integer", 1);
    if (degree > 2147483647.0) Oru::Throw("integer too large", 1);
    for (int k = 1; k <= 2; ++k) {
        if (a[k].im != 0.0) Oru::Throw("must be real", static_cast<unsigned>(k + 1));
        if (a[k].re <= -1) Oru::Throw("must be >\t-1", static_cast<unsigned>(k + 1));
    }
    if (a[3].im != 0.0) Oru::Throw("must be real", 4);
    const int n = static_cast<int>(Oru::exactFloor(degree + 0.1));
    const double alpha = a[1].re, beta = a[2].re, x = a[3].re;
    const double p1 = ((x * (alpha + beta + 2.0) + alpha) - beta) * 0.5;
    r.im = 0.0;
    if (n < 2) {
        r.re = n == 0 ? 1.0 : p1;
        return;
    }
    const double l = alpha * alpha - beta * beta;
    double previous = 1.0;
    double current = p1;
    for (int k = 2; k <= n; ++k) {
        const double kd = static_cast<double>(k);
        const double t = static_cast<double>(2 * k) + alpha + beta;
        const double u = t - 2.0;
        const double A = (l + x * (u * t)) * (t - 1.0) * current * 0.5;
        const double B = (kd + alpha - 1.0) * (kd + beta - 1.0) * previous * t;
        const double next = (A - B) / ((t - kd) * kd * u);
        previous = current;
        current = next;
    }
    r.re = current;
}

}  // namespace

KernelCall floorOf(const std::string& function, const std::string& regime) {
    if (function == "Tcheb") return &tchebFloor;
    if (function == "Ucheb") return &uchebFloor;
    if (function == "Her") return &herFloor;
    if (function == "Lag") return &lagFloor;
    if (function == "Leg") return &legFloor;
    if (function == "Jac") return &jacFloor;
    return familyFloor(function, regime);
}

}  // namespace OruBench
