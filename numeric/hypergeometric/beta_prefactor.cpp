#include "numeric/hypergeometric/beta_prefactor.hpp"

#include <algorithm>
#include <cmath>

#include "numeric/core/constants.hpp"
#include "numeric/gamma/log_gamma_differences.hpp"
#include "numeric/gamma/real_gamma.hpp"

namespace Oru {

namespace {

// From here on both parameters take Stirling's series.
constexpr double kBothLarge = 10.0;

// Both parameters at least 10. With ln Gamma(z) = (z - 1/2) ln z - z + ln(2 pi)/2 + w(z),
// y = 1 - x and d = (a + b) x - a = b - (a + b) y,
//   ln(x^a y^b / B(a, b)) = -a f(d/a) - b f(-d/b) + ln(a b / (2 pi (a + b))) / 2
//                           + w(a + b) - w(a) - w(b),   f(t) = t - ln(1 + t),
// since a ln(x (a + b)/a) = a ln(1 + d/a), b ln(y (a + b)/b) = b ln(1 - d/b), and
// the linear terms d - d cancel exactly. Each term is as small as the result allows.
long double bothLarge(double x, double a, double b) {
    const long double sum = static_cast<long double>(a) + b;
    const long double d = sum * x - a;
    const long double exponent = -a * linearMinusLog1p(d / a) - b * linearMinusLog1p(-d / b);
    const long double scale = 0.5L * std::log(static_cast<long double>(a) * b / (kTwoPiExtended * sum));
    return exponent + scale + stirlingRemainder(sum) - stirlingRemainder(a) - stirlingRemainder(b);
}

}  // namespace

// One parameter below 10: ln B(a, b) = ln Gamma(s) - [ln Gamma(l + s) - ln Gamma(l)]
// with s the smaller and l the larger parameter, the bracket without cancellation.
long double logBetaPrefactor(double x, double a, double b) {
    const double smaller = std::min(a, b);
    if (smaller >= kBothLarge) return bothLarge(x, a, b);
    const long double lx = x;
    const long double powers = a * std::log(lx) + b * std::log1p(-lx);
    return powers - realLogGamma(smaller) + logGammaDifference(std::max(a, b), smaller);
}

}  // namespace Oru
