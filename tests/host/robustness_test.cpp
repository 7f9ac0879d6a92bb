// A worksheet passes whatever its users type: every call must end in a
// result or a documented error, quickly, with the caller's floating-point
// settings untouched. The committed fuzz inputs are replayed here through
// the same decoder and checks as the fuzz target, so that every build of the
// tests (the sanitizer builds included) runs them; the inputs that once
// broke a promise are among them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/checked_call.hpp"
#include "host_values.hpp"
#include "numeric/core/constants.hpp"
#include "numeric/kelvin/kelvin.hpp"
#include "numeric/polynomials/chebyshev.hpp"
#include "numeric/polynomials/hermite.hpp"
#include "numeric/polynomials/jacobi.hpp"
#include "numeric/polynomials/laguerre.hpp"
#include "numeric/polynomials/legendre.hpp"

namespace {

namespace fs = std::filesystem;

fs::path corpusDirectory() {
    return fs::path(ORU_REFERENCE_DIR) / ".." / ".." / "fuzz" / "corpus" / "fuzz_entry_points";
}

std::vector<std::uint8_t> readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs call in a child process in the given rounding mode; it must return
// (normally or with the host exception) within the time limit.
void endsWithin(unsigned seconds, int roundingMode, const std::function<void()>& call) {
    alarm(seconds);
    std::fesetround(roundingMode);
    try {
        call();
    } catch (const Vesk::Run::AppException&) {}
    std::exit(0);
}

}  // namespace

TEST(Robustness, CommittedFuzzInputsKeepEveryPromise) {
    const fs::path dir = corpusDirectory();
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    int replayed = 0;
    for (const fs::directory_entry& file : fs::directory_iterator(dir)) {
        const std::vector<std::uint8_t> bytes = readBytes(file.path());
        const auto call = OruFuzz::decodeCall(bytes.data(), bytes.size());
        if (!call) continue;
        ++replayed;
        EXPECT_EQ(OruFuzz::runChecked(*call), "")
            << file.path().filename() << ": " << OruFuzz::describeCall(*call);
    }
    EXPECT_GT(replayed, 20);
}

// In a directed rounding mode neither the power nor the divisor of the Kelvin
// series becomes infinite (they stop at the largest finite values), so for a
// large point the sum keeps changing; the pass limit ends the call, as
// round-to-nearest does, with "not converging".
TEST(Robustness, KelvinSeriesEndsInEveryRoundingMode) {
    using namespace testing_host;
    const auto order = scalar(0.0);
    const auto point = scalar(1024.0);
    for (int mode : {FE_TOWARDZERO, FE_UPWARD, FE_DOWNWARD}) {
        EXPECT_EXIT(endsWithin(20, mode, [&] { Oru::Special::Ber(order.get(), point.get()); }),
                    ::testing::ExitedWithCode(0), "")
            << "Ber, rounding mode " << mode;
        EXPECT_EXIT(endsWithin(20, mode, [&] { Oru::Special::Bei(order.get(), point.get()); }),
                    ::testing::ExitedWithCode(0), "")
            << "Bei, rounding mode " << mode;
    }
}

// ---- the recurrences and the Kelvin series, step by step -------------------
//
// The kernels leave a recurrence as soon as its newest value is a NaN, and
// the first Kelvin term as soon as only the sign of its power can still
// matter; both must give exactly the bits of running every step. These are
// the plain loops, every step taken, to compare with.

namespace {

namespace plain {

double chebyshev(unsigned n, double x, double factor) {
    double s = 1.0, y = x;
    if (x < 0.0) y = -x, s = -1.0;
    if (n == 0) return 1.0;
    if (n == 1) return factor * (s * y);
    double p0 = 1.0, p1 = factor * y;
    for (unsigned k = 1; k < n; ++k) {
        const double p2 = 2.0 * (y * p1) - p0;
        p0 = p1, p1 = p2;
    }
    return (s == -1.0 && (n & 1u) != 0) ? -p1 : p1;
}

double hermite(unsigned n, double x) {
    if (n == 0) return 1.0;
    double h0 = 1.0, h1 = x + x;
    for (std::uint64_t k = 2; k <= n; ++k) {
        const double h2 = 2.0 * (x * h1 - (static_cast<double>(k) - 1.0) * h0);
        h0 = h1, h1 = h2;
    }
    return h1;
}

double laguerre(int n, double x) {
    if (n < 2) return n == 1 ? 1.0 - x : 1.0;
    double l0 = 1.0, l1 = 1.0 - x;
    for (std::int64_t k = 2; k <= n; ++k) {
        const double l2 = (2.0 * l1 - l0) + (l0 - l1 - x * l1) / static_cast<double>(k);
        l0 = l1, l1 = l2;
    }
    return l1;
}

double legendre(int n, double x) {
    if (n < 2) return n == 1 ? x : 1.0;
    if (n == 2) return ((x * x) * 3.0 - 1.0) * 0.5;
    double y = x, s = 1.0;
    if (x <= 0.0) y = -x, s = -1.0;
    double p0 = 1.0, p1 = y;
    for (std::int64_t k = 2; k <= n; ++k) {
        const double d = y * p1 - p0;
        const double p2 = (y * p1 + d) - d / static_cast<double>(k);
        p0 = p1, p1 = p2;
    }
    return (s == -1.0 && (n & 1) != 0) ? -p1 : p1;
}

double jacobi(int n, double alpha, double beta, double x) {
    const double p1 = ((x * (alpha + beta + 2.0) + alpha) - beta) * 0.5;
    if (n < 2) return n == 0 ? 1.0 : p1;
    const double l = alpha * alpha - beta * beta;
    double q0 = 1.0, q1 = p1;
    for (std::int64_t k = 2; k <= n; ++k) {
        const double kd = static_cast<double>(k);
        const double t = static_cast<double>(2 * k) + alpha + beta;
        const double u = t - 2.0;
        const double A = (l + x * (u * t)) * (t - 1.0) * q1 * 0.5;
        const double B = (kd + alpha - 1.0) * (kd + beta - 1.0) * q0 * t;
        const double q2 = (A - B) / ((t - kd) * kd * u);
        q0 = q1, q1 = q2;
    }
    return q1;
}

// ber_n (ber true) or bei_n, or the text of the error.
std::string kelvin(unsigned n, double x, bool ber) {
    const double c = std::cos(n * (Oru::kPi / 4));
    const double s = std::sin(n * (Oru::kPi / 4));
    const double phases[4] = {ber ? -s : c, ber ? -c : -s, ber ? s : -c, ber ? c : s};
    const double h = x / 2.0;
    long double power = ber ? 1.0 : -1.0;
    long double divisor = 1.0L;
    for (unsigned j = 0; j < n; ++j) {
        power = -(power * h);
        divisor = divisor * (static_cast<long double>(j) + 1.0L);
    }
    double sum = ((ber ? c : s) / divisor) * power;
    double p = static_cast<double>(power);
    const double h2 = h * h;
    long double k = 0.0L;
    for (;;) {
        const double previous = sum;
        for (const double phase : phases) {
            k = k + 1.0L;
            p = -(h2 * p);
            divisor = divisor * (k * (static_cast<long double>(n) + k));
            sum = sum + (phase / divisor) * p;
        }
        const double change = std::fabs(previous - sum);
        if (std::isnan(change)) return "not converging";
        if (change < 2.220446049250313e-16) return std::to_string(OruFuzz::bitsOf(sum));
    }
}

}  // namespace plain

std::string kelvinOutcome(unsigned n, double x, bool ber) {
    try {
        return std::to_string(OruFuzz::bitsOf(ber ? Oru::kelvinBerSeries(n, x) : Oru::kelvinBeiSeries(n, x)));
    } catch (const Vesk::Run::AppException& e) {
        return e.Message();
    }
}

// Points on both sides of every regime: zeros, tiny and huge values, the
// boundaries |x| = 1 and |x| = 2 and just beyond, infinities and NaNs.
const std::vector<double>& samplePoints() {
    static const std::vector<double> points = {0.0,
                                               -0.0,
                                               1e-300,
                                               -1e-300,
                                               0.3,
                                               -0.3,
                                               0.5,
                                               -0.5,
                                               0.999,
                                               1.0 - 0x1p-53,
                                               0x1p-54,
                                               0x1p-55,
                                               -0x1p-520,
                                               4.9e-324,
                                               1.0,
                                               -1.0,
                                               1.0000001,
                                               -1.0000001,
                                               1.5,
                                               -1.5,
                                               2.0,
                                               -2.0,
                                               2.000001,
                                               -2.000001,
                                               3.0,
                                               -3.0,
                                               17.0,
                                               -40.0,
                                               1e10,
                                               1e300,
                                               -1e300,
                                               std::numeric_limits<double>::infinity(),
                                               -std::numeric_limits<double>::infinity(),
                                               std::numeric_limits<double>::quiet_NaN(),
                                               -std::numeric_limits<double>::quiet_NaN(),
                                               OruFuzz::fromBits(0x7FF4000000000123u)};
    return points;
}

const std::vector<unsigned> kSampleDegrees = {2,  3,    4,    7,    8,    9,    16,   17,
                                              60, 1000, 1754, 1755, 1756, 1757, 5000, 65537};

}  // namespace

TEST(Robustness, RecurrencesGiveTheBitsOfEveryStep) {
    using OruFuzz::bitsOf;
    // Where a value on the way leaves the double range the kernels carry a
    // scale and may return a number or an infinity where these steps end in
    // an infinity or a NaN (checked against high-precision values elsewhere);
    // a NaN they return is the NaN of these steps.
    const auto expectSame = [](double kernel, double stepwise) {
        return bitsOf(kernel) == bitsOf(stepwise) || (!std::isfinite(stepwise) && !std::isnan(kernel));
    };
    // Tcheb and Ucheb take the doubled point (2x) P(k-1) where that gives the
    // same bits, in every rounding mode.
    for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        for (unsigned n : kSampleDegrees)
            for (double x : samplePoints()) {
                EXPECT_TRUE(expectSame(Oru::tchebRecurrence(n, x), plain::chebyshev(n, x, 1.0)))
                    << mode << ' ' << n << ' ' << x;
                EXPECT_TRUE(expectSame(Oru::uchebRecurrence(n, x), plain::chebyshev(n, x, 2.0)))
                    << mode << ' ' << n << ' ' << x;
            }
    }
    std::fesetround(FE_TONEAREST);
    for (unsigned n : kSampleDegrees) {
        const int m = static_cast<int>(n);
        for (double x : samplePoints()) {
            EXPECT_TRUE(expectSame(Oru::hermiteRecurrence(n, x), plain::hermite(n, x))) << n << ' ' << x;
            EXPECT_TRUE(expectSame(Oru::laguerreRecurrence(m, x), plain::laguerre(m, x))) << n << ' ' << x;
            EXPECT_TRUE(expectSame(Oru::legendreRecurrence(m, x), plain::legendre(m, x))) << n << ' ' << x;
            for (double alpha : {-0.5, 0.0, 2.5, std::numeric_limits<double>::quiet_NaN()}) {
                EXPECT_TRUE(
                    expectSame(Oru::jacobiRecurrence(m, alpha, 1.0, x), plain::jacobi(m, alpha, 1.0, x)))
                    << n << ' ' << alpha << ' ' << x;
            }
        }
    }
}

TEST(Robustness, KelvinSeriesGivesTheBitsOfEveryStep) {
    for (unsigned n : kSampleDegrees)
        for (double x : samplePoints())
            for (bool ber : {true, false})
                EXPECT_EQ(kelvinOutcome(n, x, ber), plain::kelvin(n, x, ber))
                    << (ber ? "ber " : "bei ") << n << ' ' << x;
}
