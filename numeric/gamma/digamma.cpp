#include "numeric/gamma/digamma.hpp"

#include <cmath>

#include "numeric/core/constants.hpp"
#include "oru/utility.hpp"

namespace Oru {

namespace {

constexpr double kRecurrenceTarget = 10.0;
constexpr double kBernoulliCutoff = 1000000000.0;

// B_2k / (2k) for k = 7 down to 1, the coefficients of z^7 ... z^1 in the
// asymptotic series sum B_2k / (2k s^2k), z = 1/s^2.
constexpr double kBernoulliTerms[7] = {
    0.08333333333333333,    // B14/14 =  1/12
    -0.021092796092796094,  // B12/12 = -691/32760
    0.007575757575757576,   // B10/10 =  1/132
    -0.004166666666666667,  // B8/8   = -1/240
    0.003968253968253968,   // B6/6   =  1/252
    -0.008333333333333333,  // B4/4   = -1/120
    0.08333333333333333,    // B2/2   =  1/12
};

// psi(n) = 1/(n-1) + ... + 1/1 - gamma, summed from the smallest term up.
double digammaOfSmallInteger(int n) {
    double sum = 0.0;
    for (int k = n - 1; k >= 1; --k) sum += 1.0 / k;
    return sum - kEulerGamma;
}

// psi(x) for x > 0 (not a small integer): psi(x) = psi(x + k) - sum 1/(x + j)
// brings the argument to 10 or above, where ln s - 1/(2s) - sum B_2k/(2k s^2k)
// is accurate.
double digammaByExpansion(double x) {
    double w = 0.0;
    double s = x;
    while (s < kRecurrenceTarget) {
        w = w + 1.0 / s;
        s = s + 1.0;
    }
    double y = 0.0;
    if (s < kBernoulliCutoff) {
        const double z = 1.0 / (s * s);
        for (double coefficient : kBernoulliTerms) y = y * z + coefficient;
        y = y * z;
    }
    return std::log(s) - 0.5 / s - y - w;
}

}  // namespace

double digamma(double x) {
    bool reflected = false;
    double xp = x;
    if (x <= 0.0) {
        if (x == std::floor(x)) Throw("domain error", kNoArgument);
        reflected = true;
        xp = 1.0 - x;
    }
    // Here xp >= 1 when it equals its floor, so the conversion is in range.
    double value = (xp <= kRecurrenceTarget && xp == std::floor(xp))
                       ? digammaOfSmallInteger(static_cast<int>(xp))
                       : digammaByExpansion(xp);
    // psi(1 - x) - psi(x) = pi cot(pi x).
    if (reflected) value = value - kPi / std::tan(kPi * x);
    return value;
}

}  // namespace Oru
