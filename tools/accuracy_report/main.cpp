// oru-accuracy-report: measures every kernel against the reference values
// under data/reference/ and prints, per function and region, the number of
// points, the largest and the median error in units of 2^-52, and the input
// of the worst point, as a Markdown table.
//
// Usage: oru-accuracy-report [--data DIR] [--worst K] [name ...]
//   DIR   the directory of the data files (default: the source tree's)
//   K     after the table, list the K worst points of every region (by the
//         relative error), with the computed and the reference values
//   name  limit the report to these functions (tcheb, gamma, ibeta, ...)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "tests/support/reference_data.hpp"

namespace {

using namespace Oru::Accuracy;

std::string units(long double value) {
    if (!std::isfinite(value)) return "inf";
    char text[32];
    if (value < 10.0L) {
        std::snprintf(text, sizeof text, "%.2Lf", value);
    } else {
        std::snprintf(text, sizeof text, "%.3Lg", value);
    }
    return text;
}

void printHeader() {
    std::printf(
        "| Function | Region | Points | Max relative | Median relative | Max scaled | "
        "Median scaled | Worst input (relative) |\n"
        "|---|---|---:|---:|---:|---:|---:|---|\n");
}

void listWorst(const ReferenceFunction& function, const std::vector<ReferencePoint>& points,
               const std::vector<PointOutcome>& outcomes, std::size_t count) {
    std::vector<std::size_t> order(points.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto badness = [&](std::size_t i) {
        return outcomes[i].raised ? HUGE_VALL : outcomes[i].error.relative;
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t i, std::size_t j) { return badness(i) > badness(j); });
    std::vector<std::pair<std::string, std::size_t>> listed;
    for (const std::size_t i : order) {
        const auto& p = points[i];
        auto it =
            std::find_if(listed.begin(), listed.end(), [&](const auto& l) { return l.first == p.region; });
        if (it == listed.end()) {
            listed.emplace_back(p.region, 0);
            it = listed.end() - 1;
        }
        if (it->second++ >= count) continue;
        const auto& o = outcomes[i];
        if (o.raised) {
            std::printf("%s [%s] %s: raised \"%s\" (argument %u)\n", function.name, p.region.c_str(),
                        describeInputs(function, p).c_str(), o.message.c_str(), o.argument);
        } else {
            std::printf(
                "%s [%s] %s: got %.17g%+.17gi, reference %.21Lg%+.21Lgi, scale %.3Lg, "
                "relative %s, scaled %s\n",
                function.name, p.region.c_str(), describeInputs(function, p).c_str(), o.value.re, o.value.im,
                p.re, p.im, p.scale, units(o.error.relative).c_str(), units(o.error.scaled).c_str());
        }
    }
}

struct Measured {
    const ReferenceFunction* function;
    std::vector<ReferencePoint> points;
    std::vector<PointOutcome> outcomes;
};

void reportFunction(const ReferenceFunction& function, const std::string& dataDir,
                    std::vector<Measured>& measured) {
    const auto points = readReferenceFile(dataDir + "/" + function.name + ".txt", function.arity);
    std::vector<PointOutcome> outcomes;
    outcomes.reserve(points.size());
    for (const auto& point : points) outcomes.push_back(evaluatePoint(function, point));
    measured.push_back({&function, points, outcomes});
    for (const auto& s : summarizeRegions(points, outcomes)) {
        std::string count = std::to_string(s.points);
        if (s.raised != 0) count += " (" + std::to_string(s.raised) + " raised)";
        const bool measured = s.raised < s.points;
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", function.title, s.region.c_str(),
                    count.c_str(), measured ? units(s.maxRelative).c_str() : "",
                    measured ? units(s.medianRelative).c_str() : "",
                    measured ? units(s.maxScaled).c_str() : "", measured ? units(s.medianScaled).c_str() : "",
                    measured ? describeInputs(function, points[s.worstRelative]).c_str() : "");
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir;
    std::vector<std::string> names;
    std::size_t worst = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (arg == "--worst" && i + 1 < argc) {
            worst = static_cast<std::size_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (findReferenceFunction(arg) != nullptr) {
            names.push_back(arg);
        } else {
            std::fprintf(stderr,
                         "usage: oru-accuracy-report [--data DIR] [--worst K] [name ...]\n"
                         "unknown argument: %s\n",
                         arg.c_str());
            return 2;
        }
    }
    dataDir = referenceDirectory(dataDir);
    try {
        printHeader();
        std::vector<Measured> measured;
        for (const auto& function : referenceFunctions()) {
            bool wanted = names.empty();
            for (const auto& name : names) wanted = wanted || name == function.name;
            if (wanted) reportFunction(function, dataDir, measured);
        }
        if (worst > 0) {
            std::printf("\n");
            for (const auto& m : measured) listWorst(*m.function, m.points, m.outcomes, worst);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "oru-accuracy-report: %s\n", e.what());
        return 1;
    }
    return 0;
}
