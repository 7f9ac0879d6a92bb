#include "tests/support/reference_data.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "vesk/run/app_exception.hpp"

#ifndef ORU_REFERENCE_DIR
#error "ORU_REFERENCE_DIR must name the directory of the reference data"
#endif

namespace Oru::Accuracy {

namespace {

constexpr long double kUnit = 0x1p-52L;

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (in >> field) fields.push_back(field);
    return fields;
}

// The parameter names of a signature such as "Jac(n, alpha, beta, x)".
std::vector<std::string> parametersOf(std::string_view signature) {
    const std::size_t open = signature.find('(');
    const std::size_t close = signature.rfind(')');
    std::string list(signature.substr(open + 1, close - open - 1));
    std::replace(list.begin(), list.end(), ',', ' ');
    return splitFields(list);
}

std::vector<ReferenceFunction> buildFunctions() {
    std::vector<ReferenceFunction> functions;
    for (const Host::FunctionForm& form : Host::kFunctionForms) {
        const bool several = Host::hasSeveralForms(form.name);
        functions.push_back(
            {&form, form.file.data(), several ? form.signature.data() : form.name.data(),
             form.complexArgument ? std::vector<std::string>{"x", "y"} : parametersOf(form.signature),
             form.complexArgument ? 2 : form.arity});
    }
    return functions;
}

template <typename Number, Number (*Parse)(const char*, char**)>
Number parseNumber(const std::string& text, const std::string& where) {
    errno = 0;
    char* end = nullptr;
    const Number value = Parse(text.c_str(), &end);
    // ERANGE is accepted: a reference may be a subnormal-sized number.
    if (end == text.c_str() || *end != '\0') {
        throw std::runtime_error(where + ": not a number: " + text);
    }
    return value;
}

double parseDouble(const char* s, char** end) {
    return std::strtod(s, end);
}
long double parseLongDouble(const char* s, char** end) {
    return std::strtold(s, end);
}

long double median(std::vector<long double> values) {
    if (values.empty()) return 0.0L;
    const std::size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
    return values[mid];
}

}  // namespace

const std::vector<ReferenceFunction>& referenceFunctions() {
    static const std::vector<ReferenceFunction> functions = buildFunctions();
    return functions;
}

const ReferenceFunction* findReferenceFunction(const std::string& name) {
    for (const auto& f : referenceFunctions()) {
        if (name == f.name) return &f;
    }
    return nullptr;
}

std::string referenceDirectory(const std::string& overrideDir) {
    return overrideDir.empty() ? std::string(ORU_REFERENCE_DIR) : overrideDir;
}

std::vector<ReferencePoint> readReferenceFile(const std::string& path, std::size_t arity) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::vector<ReferencePoint> points;
    std::string line;
    std::size_t lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(lineNumber);
        const auto fields = splitFields(line);
        if (fields.size() != arity + 4) {
            throw std::runtime_error(where + ": expected " + std::to_string(arity + 4) + " fields, found " +
                                     std::to_string(fields.size()));
        }
        ReferencePoint point;
        point.region = fields[0];
        for (std::size_t i = 0; i < arity; ++i) {
            point.inputs.push_back(parseNumber<double, parseDouble>(fields[1 + i], where));
        }
        point.re = parseNumber<long double, parseLongDouble>(fields[arity + 1], where);
        point.im = parseNumber<long double, parseLongDouble>(fields[arity + 2], where);
        point.scale = parseNumber<long double, parseLongDouble>(fields[arity + 3], where);
        points.push_back(std::move(point));
    }
    return points;
}

PointError measureError(const tabulComplex& computed, const ReferencePoint& point) {
    constexpr long double infinite = HUGE_VALL;
    if (!std::isfinite(computed.re) || !std::isfinite(computed.im)) {
        return {infinite, infinite};
    }
    const long double difference = std::hypot(static_cast<long double>(computed.re) - point.re,
                                              static_cast<long double>(computed.im) - point.im);
    const long double magnitude = std::hypot(point.re, point.im);
    const auto inUnits = [&](long double size) {
        if (difference == 0.0L) return 0.0L;
        return size > 0.0L ? difference / size / kUnit : infinite;
    };
    return {inUnits(magnitude), inUnits(std::max(magnitude, point.scale))};
}

tabulComplex evaluateKernel(const ReferenceFunction& function, const std::vector<double>& inputs) {
    const Host::FunctionForm& form = *function.form;
    std::array<tabulComplex, Host::kMaxArity> args{tabulComplex(0.0, 0.0), tabulComplex(0.0, 0.0),
                                                   tabulComplex(0.0, 0.0), tabulComplex(0.0, 0.0)};
    if (form.complexArgument) {
        args[0] = tabulComplex(inputs[0], inputs[1]);
    } else {
        for (std::size_t k = 0; k < form.arity; ++k) args[k] = tabulComplex(inputs[k], 0.0);
    }
    tabulComplex res(0.0, 0.0);
    form.kernel(res, args.data());
    return res;
}

PointOutcome evaluatePoint(const ReferenceFunction& function, const ReferencePoint& point) {
    PointOutcome outcome;
    try {
        outcome.value = evaluateKernel(function, point.inputs);
    } catch (const Vesk::Run::AppException& e) {
        outcome.raised = true;
        outcome.message = e.Message();
        outcome.argument = e.Argument();
        return outcome;
    }
    outcome.error = measureError(outcome.value, point);
    return outcome;
}

std::vector<RegionSummary> summarizeRegions(const std::vector<ReferencePoint>& points,
                                            const std::vector<PointOutcome>& outcomes) {
    std::vector<RegionSummary> summaries;
    std::vector<std::vector<long double>> relative, scaled;
    for (std::size_t i = 0; i < points.size() && i < outcomes.size(); ++i) {
        auto it = std::find_if(summaries.begin(), summaries.end(),
                               [&](const RegionSummary& s) { return s.region == points[i].region; });
        if (it == summaries.end()) {
            summaries.push_back({});
            summaries.back().region = points[i].region;
            relative.emplace_back();
            scaled.emplace_back();
            it = summaries.end() - 1;
        }
        const auto k = static_cast<std::size_t>(it - summaries.begin());
        RegionSummary& s = *it;
        ++s.points;
        if (outcomes[i].raised) {
            ++s.raised;
            continue;
        }
        const PointError& e = outcomes[i].error;
        // The first point measured sets the worst; later ones must exceed it.
        if (relative[k].empty() || e.relative > s.maxRelative) {
            s.maxRelative = e.relative;
            s.worstRelative = i;
        }
        if (scaled[k].empty() || e.scaled > s.maxScaled) {
            s.maxScaled = e.scaled;
            s.worstScaled = i;
        }
        relative[k].push_back(e.relative);
        scaled[k].push_back(e.scaled);
    }
    for (std::size_t k = 0; k < summaries.size(); ++k) {
        summaries[k].medianRelative = median(relative[k]);
        summaries[k].medianScaled = median(scaled[k]);
    }
    return summaries;
}

std::string describeInputs(const ReferenceFunction& function, const ReferencePoint& point) {
    const auto& names = function.inputNames;
    std::string text;
    for (std::size_t i = 0; i < point.inputs.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%.17g", point.inputs[i]);
        if (!text.empty()) text += ", ";
        text += (i < names.size() ? names[i] : "?") + std::string("=") + number;
    }
    return text;
}

}  // namespace Oru::Accuracy
