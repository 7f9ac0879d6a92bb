// Every kernel against the reference values of data/reference/, point by
// point, with a tolerance per function and region in units of 2^-52.
//
// Relative tolerances bound |computed - reference| / |reference|. Scaled
// ones bound |computed - reference| / max(|reference|, scale), where scale is
// the size of the terms the algorithm combines (see reference_data.hpp): they
// are used where the true value can be far smaller than those terms (near
// zeros of the polynomials and series, results formed as 1 - P, cancelling
// power series), and there they are what the algorithm can promise.
//
// The tolerances are about twice the largest error measured on the data,
// rounded up; the accuracy report (tools/accuracy_report) prints the
// measurements.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "tests/support/reference_data.hpp"

namespace Oru::Accuracy {
namespace {

enum class Metric { Relative, Scaled };

struct Tolerance {
    const char* function;
    const char* region;
    Metric metric;
    double units;
};

constexpr Metric kRel = Metric::Relative;
constexpr Metric kSc = Metric::Scaled;

// clang-format off
constexpr Tolerance tolerances[] = {
    {"tcheb", "degree-0-1", kRel, 1},  // measured 0.00
    {"tcheb", "low-degree", kSc, 15},  // measured 5.09
    {"tcheb", "unit-endpoints", kRel, 6},  // measured 2.78
    {"tcheb", "high-degree", kSc, 300},  // measured 118
    {"tcheb", "near-zeros", kSc, 1500},  // measured 561
    {"tcheb", "outside", kRel, 150},  // measured 54.5
    {"tcheb", "outside-near-one", kRel, 80000},  // measured 3.61e+04
    {"ucheb", "degree-0-1", kRel, 1},  // measured 0.00
    {"ucheb", "low-degree", kSc, 30},  // measured 10.7
    {"ucheb", "unit-endpoints", kRel, 30000},  // measured 1.02e+04
    {"ucheb", "high-degree", kSc, 300},  // measured 118
    {"ucheb", "near-zeros", kSc, 400},  // measured 162
    {"ucheb", "outside", kRel, 80},  // measured 31.2
    {"ucheb", "outside-near-one", kRel, 30000},  // measured 1.27e+04
    {"her", "low-degree", kSc, 100},  // measured 44.2
    {"her", "high-degree", kSc, 200},  // measured 97.8
    {"her", "beyond-turning-point", kRel, 30},  // measured 12.1
    {"her", "large-x", kRel, 6},  // measured 2.89
    {"her", "near-zeros", kSc, 800},  // measured 360
    {"lag", "low-degree", kSc, 15},  // measured 5.33
    {"lag", "high-degree", kSc, 50},  // measured 21.4
    {"lag", "negative-x", kRel, 400},  // measured 165
    {"lag", "beyond-largest-zero", kRel, 30},  // measured 10.4
    {"lag", "near-zeros", kSc, 30},  // measured 10.4
    {"leg", "low-degree", kSc, 10},  // measured 4.43
    {"leg", "high-degree", kSc, 40},  // measured 15.6
    {"leg", "endpoints", kRel, 10},  // measured 4.45
    {"leg", "near-zeros", kSc, 15},  // measured 6.58
    {"leg", "outside", kRel, 150},  // measured 68.5
    {"jac", "low-degree", kSc, 50},  // measured 24.4
    {"jac", "high-degree", kSc, 200},  // measured 89.5
    {"jac", "parameters-near-minus-one", kSc, 30},  // measured 13.5
    {"jac", "large-parameters", kSc, 150},  // measured 68.9
    {"jac", "outside", kRel, 200},  // measured 82.7
    {"jac", "near-zeros", kSc, 15},  // measured 5.10
    {"ber", "small-x", kSc, 4},  // measured 1.80
    {"ber", "medium-x", kSc, 4},  // measured 1.86
    {"ber", "large-x", kSc, 2},  // measured 0.95
    {"ber", "stopped-early", kSc, 1},  // measured 0.07
    {"ber", "high-order", kSc, 5},  // measured 2.22
    {"ber", "near-zeros", kSc, 2},  // measured 0.80
    {"bei", "small-x", kSc, 4},  // measured 1.80
    {"bei", "medium-x", kSc, 3},  // measured 1.47
    {"bei", "large-x", kSc, 3},  // measured 1.03
    {"bei", "stopped-early", kSc, 1},  // measured 0.26
    {"bei", "high-order", kSc, 8},  // measured 3.18
    {"bei", "near-zeros", kSc, 1.5},  // measured 0.74
    {"gamma", "positive-integer", kRel, 1},  // measured 0.47
    {"gamma", "real-direct", kRel, 2000},  // measured 817
    {"gamma", "real-reflection", kRel, 3000},  // measured 1.07e+03
    {"gamma", "near-poles", kRel, 8e10},  // measured 3.62e+10
    {"gamma", "tiny", kRel, 20},  // measured 8.76
    {"gamma", "complex-direct", kRel, 2000},  // measured 837
    {"gamma", "complex-reflection", kRel, 8000},  // measured 3.7e+03
    {"gamma", "reflection-boundary", kRel, 150},  // measured 65.8
    {"gamma", "large-imaginary", kRel, 4000},  // measured 1.84e+03
    {"lngamma", "real-recurrence", kRel, 1.5},  // measured 0.59
    {"lngamma", "real-asymptotic", kRel, 1},  // measured 0.47
    {"lngamma", "real-large", kRel, 1},  // measured 0.43
    {"lngamma", "real-reflection", kRel, 1},  // measured 0.38
    {"lngamma", "near-one-two-complex", kSc, 4},  // measured 1.69
    {"lngamma", "near-one-two-real", kSc, 1.5e5},  // measured 5.27e+04
    {"lngamma", "up-shift", kSc, 4},  // measured 1.93
    {"lngamma", "down-shift", kRel, 15},  // measured 5.36
    {"lngamma", "reflection", kRel, 500},  // measured 234
    {"lngamma", "series", kRel, 4},  // measured 1.75
    {"lngamma", "dispatch-boundaries", kRel, 30},  // measured 10.2
    {"gamma2", "x-zero", kSc, 2},  // measured 0.95
    {"gamma2", "series", kSc, 20},  // measured 8.07
    {"gamma2", "continued-fraction", kSc, 50},  // measured 21.3
    {"gamma2", "boundary", kSc, 60},  // measured 28.9
    {"gamma2", "small-a", kSc, 8},  // measured 3.80
    {"gamma2", "large-x", kSc, 1},  // measured 0.00
    {"igamma", "non-positive", kRel, 1},  // measured 0.00
    {"igamma", "series", kRel, 150},  // measured 62.7
    {"igamma", "continued-fraction", kRel, 80},  // measured 36
    {"igamma", "truncated-order", kRel, 60},  // measured 29.8
    {"igamma", "large-order", kRel, 1000},  // measured 491
    {"igamma", "boundary", kRel, 50},  // measured 22
    {"igamma", "tiny-x", kRel, 2},  // measured 0.92
    {"fhyper", "direct", kSc, 1},  // measured 0.48
    {"fhyper", "pfaff", kSc, 10},  // measured 4.08
    {"fhyper", "direct-below-minus-half", kSc, 1},  // measured 0.44
    {"fhyper", "connection", kSc, 150},  // measured 60.3
    {"fhyper", "connection-near-integer-d", kSc, 60},  // measured 27.1
    {"fhyper", "log-case", kRel, 3000},  // measured 1.1e+03
    {"fhyper", "terminating", kSc, 1},  // measured 0.38
    {"fhyper", "terminating-c", kSc, 1},  // measured 0.28
    {"fhyper", "euler", kSc, 4},  // measured 1.79
    {"fhyper", "power", kRel, 10},  // measured 4.43
    {"fhyper", "gauss-summation", kRel, 6e10},  // measured 2.59e+10
    {"fhyper", "origin", kRel, 20},  // measured 9.34
    {"mhyper", "power-series", kRel, 40},  // measured 17.4
    {"mhyper", "terminating", kRel, 5},  // measured 2.25
    {"mhyper", "asymptotic", kRel, 60},  // measured 25.2
    {"mhyper", "power-series-uncertain", kRel, 8},  // measured 3.27
    {"ibeta", "closed-form", kRel, 150},  // measured 53.4
    {"ibeta", "fraction1", kRel, 100},  // measured 47.8
    {"ibeta", "swapped-fraction1", kSc, 20},  // measured 9.35
    {"ibeta", "fraction2", kRel, 40},  // measured 19.9
    {"ibeta", "swapped-fraction2", kSc, 20},  // measured 9.88
    {"ibeta", "near-mean", kSc, 40},  // measured 19.9
    {"ibeta", "large-parameters", kSc, 8},  // measured 3.06
    {"ibeta", "small-parameters", kSc, 30},  // measured 12.8
};
// clang-format on

const Tolerance* findTolerance(const std::string& function, const std::string& region) {
    for (const auto& t : tolerances) {
        if (function == t.function && region == t.region) return &t;
    }
    return nullptr;
}

std::string describeValue(const tabulComplex& v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g%+.17gi", v.re, v.im);
    return text;
}

std::string describeReference(const ReferencePoint& p) {
    char text[80];
    std::snprintf(text, sizeof text, "%.21Lg%+.21Lgi", p.re, p.im);
    return text;
}

// Reports at most this many failing points per region, then their count.
constexpr int kReportedFailures = 5;

void checkFunction(const char* name) {
    const ReferenceFunction* function = findReferenceFunction(name);
    ASSERT_NE(function, nullptr) << name;
    const auto points =
        readReferenceFile(referenceDirectory() + "/" + function->name + ".txt", function->arity);
    ASSERT_FALSE(points.empty()) << "no reference points for " << function->title;

    std::vector<PointOutcome> outcomes;
    outcomes.reserve(points.size());
    for (const auto& point : points) outcomes.push_back(evaluatePoint(*function, point));

    std::set<std::string> untolerated;
    std::vector<std::pair<std::string, int>> failures;  // per region
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ReferencePoint& point = points[i];
        const PointOutcome& outcome = outcomes[i];
        const Tolerance* tolerance = findTolerance(name, point.region);
        if (tolerance == nullptr) {
            if (untolerated.insert(point.region).second) {
                ADD_FAILURE() << function->title << ": no tolerance for region " << point.region;
            }
            continue;
        }
        const long double error =
            tolerance->metric == Metric::Relative ? outcome.error.relative : outcome.error.scaled;
        if (!outcome.raised && error <= tolerance->units) continue;

        auto it = std::find_if(failures.begin(), failures.end(),
                               [&](const auto& f) { return f.first == point.region; });
        if (it == failures.end()) {
            failures.emplace_back(point.region, 0);
            it = failures.end() - 1;
        }
        if (++it->second > kReportedFailures) continue;
        if (outcome.raised) {
            ADD_FAILURE() << function->title << " [" << point.region << "] "
                          << describeInputs(*function, point) << ": raised \"" << outcome.message
                          << "\" (argument " << outcome.argument << ")";
        } else {
            ADD_FAILURE() << function->title << " [" << point.region << "] "
                          << describeInputs(*function, point) << ": got " << describeValue(outcome.value)
                          << ", reference " << describeReference(point) << ", error "
                          << static_cast<double>(error) << " > " << tolerance->units << " units of 2^-52 ("
                          << (tolerance->metric == Metric::Relative ? "relative" : "scaled") << ")";
        }
    }
    for (const auto& [region, count] : failures) {
        if (count > kReportedFailures) {
            ADD_FAILURE() << function->title << " [" << region << "]: " << count
                          << " points out of tolerance in all";
        }
    }
}

// One test per row of the library's table of functions, named after its
// reference file.
class Accuracy : public testing::TestWithParam<std::string> {};

TEST_P(Accuracy, AgreesWithTheReferenceValues) {
    checkFunction(GetParam().c_str());
}

std::vector<std::string> referenceFiles() {
    std::vector<std::string> files;
    for (const Host::FunctionForm& form : Host::kFunctionForms) files.emplace_back(form.file);
    return files;
}

INSTANTIATE_TEST_SUITE_P(EveryFunction, Accuracy, testing::ValuesIn(referenceFiles()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(AccuracyHarness, ErrorMeasures) {
    ReferencePoint point;
    point.re = 2.0L;
    point.scale = 8.0L;
    const PointError exact = measureError(tabulComplex(2.0, 0.0), point);
    EXPECT_EQ(exact.relative, 0.0L);
    EXPECT_EQ(exact.scaled, 0.0L);

    // One unit of 2^-52 relative to 2 is 2 * 2^-52 absolute; against the
    // scale 8 it is a quarter of a unit.
    const PointError off = measureError(tabulComplex(2.0 + 4 * 0x1p-52, 0.0), point);
    EXPECT_NEAR(static_cast<double>(off.relative), 2.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(off.scaled), 0.5, 1e-12);

    // A spurious imaginary part counts, by the modulus of the difference.
    const PointError imag = measureError(tabulComplex(2.0, 2.0 * 0x1p-52), point);
    EXPECT_NEAR(static_cast<double>(imag.relative), 1.0, 1e-12);

    // Non-finite results never pass, whatever the metric.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const tabulComplex& bad :
         {tabulComplex(nan, 0.0), tabulComplex(2.0, nan), tabulComplex(inf, 0.0), tabulComplex(-inf, 0.0)}) {
        const PointError e = measureError(bad, point);
        EXPECT_FALSE(e.relative <= 1e300L);
        EXPECT_FALSE(e.scaled <= 1e300L);
    }

    // Against an exact zero: exact zero passes, anything else is infinitely
    // wrong relatively and finite only against a scale.
    ReferencePoint zero;
    EXPECT_EQ(measureError(tabulComplex(0.0, 0.0), zero).relative, 0.0L);
    EXPECT_FALSE(measureError(tabulComplex(1e-300, 0.0), zero).scaled <= 1e300L);
    zero.scale = 1.0L;
    EXPECT_NEAR(static_cast<double>(measureError(tabulComplex(0x1p-52, 0.0), zero).scaled), 1.0, 1e-12);
}

}  // namespace
}  // namespace Oru::Accuracy
