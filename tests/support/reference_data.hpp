#pragma once

// Reading the reference values under data/reference/ and measuring the
// kernels against them; shared by the accuracy test and the accuracy report.
//
// Errors are stated in units of 2^-52. Two measures are kept per point:
// - relative: |computed - reference| / |reference|;
// - scaled:   |computed - reference| / max(|reference|, scale), where scale
//   is the size of the terms the algorithm combines (the largest value of a
//   recurrence, the largest term of a series), or 1 where an absolute
//   stopping rule bounds the error absolutely, written by the generator. It
//   bounds the error of a result that is small only because its terms cancel.
// Complex values are compared by the modulus of the difference.

#include <cstddef>
#include <string>
#include <vector>

#include "host/functions.hpp"
#include "numeric/core/complex.hpp"

namespace Oru::Accuracy {

struct ReferencePoint {
    std::string region;
    std::vector<double> inputs;
    long double re = 0.0L;
    long double im = 0.0L;
    long double scale = 0.0L;
};

// One kernel under test, a row of the library's table of functions: its
// data file (data/reference/<name>.txt), its title in reports (the function,
// or the form where a function has several), and the names and number of
// the double inputs of a point (the real and imaginary part of a complex
// argument, x and y).
struct ReferenceFunction {
    const Host::FunctionForm* form;
    const char* name;
    const char* title;
    std::vector<std::string> inputNames;
    std::size_t arity;
};

const std::vector<ReferenceFunction>& referenceFunctions();
const ReferenceFunction* findReferenceFunction(const std::string& name);

// The directory of the data files: the given one, or the build's default.
std::string referenceDirectory(const std::string& overrideDir = {});

// Reads one data file; throws std::runtime_error naming the file and line on
// any malformed line.
std::vector<ReferencePoint> readReferenceFile(const std::string& path, std::size_t arity);

struct PointError {
    long double relative;
    long double scaled;
};

// Both measures; a non-finite result, or a non-zero result against a zero
// reference without a scale, measures as infinity.
PointError measureError(const tabulComplex& computed, const ReferencePoint& point);

// The kernel on the inputs of a point; raises as the kernel does.
tabulComplex evaluateKernel(const ReferenceFunction& function, const std::vector<double>& inputs);

// The outcome of evaluating one point.
struct PointOutcome {
    bool raised = false;
    std::string message;  // the library's message when raised
    unsigned argument = 0;
    tabulComplex value{0.0, 0.0};
    PointError error{0.0L, 0.0L};
};

PointOutcome evaluatePoint(const ReferenceFunction& function, const ReferencePoint& point);

struct RegionSummary {
    std::string region;
    std::size_t points = 0;
    std::size_t raised = 0;
    long double maxRelative = 0.0L;
    long double medianRelative = 0.0L;
    long double maxScaled = 0.0L;
    long double medianScaled = 0.0L;
    std::size_t worstRelative = 0;  // index into the points
    std::size_t worstScaled = 0;
};

// Per region, in the order the regions first appear in the file; points that
// raised are counted apart and left out of the statistics.
std::vector<RegionSummary> summarizeRegions(const std::vector<ReferencePoint>& points,
                                            const std::vector<PointOutcome>& outcomes);

// "n=3, x=0.5"-style text of a point's inputs, with every digit needed to
// read them back exactly.
std::string describeInputs(const ReferenceFunction& function, const ReferencePoint& point);

}  // namespace Oru::Accuracy
