#include "bench/floors.hpp"

#include <cmath>

namespace OruBench {

namespace {

// The floor of a kernel: its prescribed floating-point operations and library
// calls on the same inputs, with nothing else (no argument checks, no
// special cases, no test for a NaN), so that the kernel's time over the
// floor's is what its own bookkeeping costs.

int degreeOf(const tabulComplex* a) {
    return static_cast<int>(a[0].re);
}

// T_n and U_n: the same recurrence from T_1 = y, U_1 = 2y.
double chebyshevSteps(int n, double x, double first) {
    const double y = std::fabs(x);
    double previous = 1.0;
    double current = first * y;
    for (int k = 1; k < n; ++k) {
        const double next = 2.0 * (y * current) - previous;
        previous = current;
        current = next;
    }
    return current;
}

void tchebFloor(tabulComplex& r, const tabulComplex* a) {
    r.re = chebyshevSteps(degreeOf(a), a[1].re, 1.0);
}

void uchebFloor(tabulComplex& r, const tabulComplex* a) {
    r.re = chebyshevSteps(degreeOf(a), a[1].re, 2.0);
}

void herFloor(tabulComplex& r, const tabulComplex* a) {
    const int n = degreeOf(a);
    const double x = a[1].re;
    double previous = 1.0;
    double current = x + x;
    for (int k = 2; k <= n; ++k) {
        const double next = 2.0 * (x * current - static_cast<double>(k - 1) * previous);
        previous = current;
        current = next;
    }
    r.re = current;
}

void lagFloor(tabulComplex& r, const tabulComplex* a) {
    const int n = degreeOf(a);
    const double x = a[1].re;
    double previous = 1.0;
    double current = 1.0 - x;
    for (int k = 2; k <= n; ++k) {
        const double correction = (previous - current - x * current) / static_cast<double>(k);
        const double next = (2.0 * current - previous) + correction;
        previous = current;
        current = next;
    }
    r.re = current;
}

void legFloor(tabulComplex& r, const tabulComplex* a) {
    const int n = degreeOf(a);
    const double y = std::fabs(a[1].re);
    double previous = 1.0;
    double current = y;
    for (int k = 2; k <= n; ++k) {
        const double yP = y * current;
        const double d = yP - previous;
        const double next = (yP + d) - d / static_cast<double>(k);
        previous = current;
        current = next;
    }
    r.re = current;
}

// Gamma(x), x >= 0.5: eleven logarithms of the shift, the series' five terms,
// the last logarithm and the exponential.
void gammaFloor(tabulComplex& r, const tabulComplex* a) {
    constexpr double kDenominators[] = {12.0, -360.0, 1260.0, -1680.0, 1188.0};
    const double x = a[0].re;
    double sum = 0.0;
    for (int k = 0; k < 11; ++k) sum = sum - std::log(x + k);
    const double w = x + 11.0;
    const double r2 = 1.0 / (w * w);
    double t = 1.0 / w;
    for (const double d : kDenominators) {
        sum = sum + t / d;
        t = t * r2;
    }
    r.re = std::exp(sum + std::log(w) * (x + 10.5) + 0.91893853320467274 - x - 11.0);
}

}  // namespace

KernelCall floorOf(const std::string& function, const std::string& regime) {
    if (function == "Tcheb") return &tchebFloor;
    if (function == "Ucheb") return &uchebFloor;
    if (function == "Her") return &herFloor;
    if (function == "Lag") return &lagFloor;
    if (function == "Leg") return &legFloor;
    if (function == "Gamma(z)" && regime == "real, x >= 0.5") return &gammaFloor;
    return nullptr;
}

}  // namespace OruBench
