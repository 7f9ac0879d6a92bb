#include <cmath>

#include "bench/family_floors.hpp"
#include "numeric/core/constants.hpp"
#include "numeric/core/integer.hpp"
#include "oru/utility.hpp"

namespace OruBench {

namespace {

using namespace Oru;

// The power series, four terms a pass until a pass changes the sum by less
// than 2^-52: the phases cos(n pi/4) and sin(n pi/4) from the library, the
// first term's power and the divisor k! (n + k)! in extended precision, the
// power and the sum rounded to doubles at every term.
template <bool Bei>
void kelvinSeriesFloor(tabulComplex& r, const tabulComplex* args) {
    const unsigned n = static_cast<unsigned>(checkedDegreeAndPoint(args[0], args[1]));
    const double x = args[1].re;
    const double c = std::cos(n * (kPi / 4));
    const double s = std::sin(n * (kPi / 4));
    const double first = Bei ? s : c;
    const double perPass[4] = {Bei ? c : -s, Bei ? -s : -c, Bei ? -c : s, Bei ? s : c};
    const double h = x / 2.0;
    long double firstPower = Bei ? -1.0L : 1.0L;
    long double divisor = 1.0L;
    for (unsigned j = 1; j <= n; ++j) {
        firstPower = -(firstPower * h);
        divisor = divisor * j;
    }
    double sum = (first / divisor) * firstPower;
    double power = static_cast<double>(firstPower);
    const double h2 = h * h;
    const long double order = n;
    long double k = 0.0L;
    for (;;) {
        const double previous = sum;
        for (const double phase : perPass) {
            k = k + 1.0L;
            power = -(h2 * power);
            divisor = divisor * (k * (order + k));
            sum = sum + (phase / divisor) * power;
        }
        const double change = std::fabs(previous - sum);
        if (std::isnan(change)) Throw("not converging", kNoArgument);
        if (change < 0x1p-52) break;
    }
    r.re = sum;
}

constexpr FloorEntry kFloors[] = {
    {"Ber", "x in 0..5, n = 0..3", &kelvinSeriesFloor<false>, true},
    {"Bei", "x in 0..5, n = 0..3", &kelvinSeriesFloor<true>, true},
};

}  // namespace

std::span<const FloorEntry> kelvinFloors() {
    return kFloors;
}

}  // namespace OruBench
