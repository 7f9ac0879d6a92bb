// The slowest single calls, one per input class, each timed once: run in a
// Release build to refresh the worst-case table in docs/reliability.md.
//
//   cmake --preset default -DORU_BUILD_TESTS=ON && cmake --build build/default --target oru-worst-cases
//   build/default/tools/worst_cases/oru-worst-cases
//
// With --sweep it times every point of an accuracy sweep's cache instead
// (the median of five calls each), slowest first, with the median, mean and
// maximum over the points and how many take more than 50 microseconds:
//
//   oru-worst-cases --sweep Fhyper data/sweep/fhyper.txt

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/functions.hpp"
#include "tabul/values.hpp"
#include "vesk/run/app_exception.hpp"

namespace {

// Processor time of the calling thread: other work on a shared machine does
// not inflate it the way it inflates the time on the clock.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The host call of a function, through its widest form (the slots of
// omitted arguments are null).
Oru::Host::HostCall callOf(const std::string& name) {
    for (std::size_t row = 0; row < Oru::Host::kFunctionForms.size(); ++row)
        if (Oru::Host::kFunctionForms[row].name == name && Oru::Host::isLastForm(row))
            return Oru::Host::kFunctionForms[row].call;
    std::fprintf(stderr, "no function %s\n", name.c_str());
    std::exit(2);
}

std::size_t arityOf(const std::string& name) {
    for (std::size_t row = 0; row < Oru::Host::kFunctionForms.size(); ++row)
        if (Oru::Host::kFunctionForms[row].name == name && Oru::Host::isLastForm(row))
            return Oru::Host::kFunctionForms[row].arity;
    return 0;
}

// Thread CPU time of one call, in seconds; errors count like values.
double timedCall(Oru::Host::HostCall call, const std::vector<double>& point) {
    std::vector<std::shared_ptr<const Tabul::Value>> held;
    std::array<const Tabul::Value*, 4> args{};
    for (std::size_t k = 0; k < point.size() && k < args.size(); ++k) {
        held.push_back(std::make_shared<Tabul::NumVal>(point[k], 0.0));
        args[k] = held.back().get();
    }
    const double start = cpuSeconds();
    try {
        call(args.data());
    } catch (const Vesk::Run::AppException&) {}
    return cpuSeconds() - start;
}

// Every point of a sweep cache (rows: slice, arguments, then the reference
// columns), timed as the median of five calls, printed slowest first.
int timeSweep(const std::string& name, const std::string& path) {
    const std::size_t arity = arityOf(name);
    std::ifstream in(path);
    if (arity == 0 || arity > 4 || !in) {
        std::fprintf(stderr, "cannot time %s over %s\n", name.c_str(), path.c_str());
        return 2;
    }
    const Oru::Host::HostCall call = callOf(name);
    struct Timed {
        double seconds;
        std::string line;
    };
    std::vector<Timed> timed;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string slice;
        fields >> slice;
        std::vector<double> point(arity);
        for (double& v : point) fields >> v;
        if (!fields) continue;
        std::array<double, 5> runs{};
        for (double& r : runs) r = timedCall(call, point);
        std::nth_element(runs.begin(), runs.begin() + 2, runs.end());
        timed.push_back({runs[2], line});
    }
    if (timed.empty()) return 2;
    std::sort(timed.begin(), timed.end(),
              [](const Timed& p, const Timed& q) { return p.seconds > q.seconds; });
    double total = 0.0;
    int slow = 0;
    for (const Timed& t : timed) {
        total += t.seconds;
        slow += t.seconds > 50e-6 ? 1 : 0;
    }
    std::printf("points %zu  median %.3g us  mean %.3g us  max %.3g us  over 50 us: %d\n", timed.size(),
                1e6 * timed[timed.size() / 2].seconds, 1e6 * total / static_cast<double>(timed.size()),
                1e6 * timed.front().seconds, slow);
    for (const Timed& t : timed) std::printf("%10.2f us  %s\n", 1e6 * t.seconds, t.line.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--sweep") return timeSweep(argv[2], argv[3]);
    struct Case {
        const char* entry;
        const char* what;
        std::vector<double> args;  // real scalars in host order
    };
    const double nMax = 2147483647.0;
    const std::vector<Case> cases = {
        {"Tcheb", "n = 2^31-1, abs(x) < 1 (values stay bounded)", {nMax, 0.3}},
        {"Tcheb", "n = 2^31-1, abs(x) > 1 (overflow, then NaN)", {nMax, 1.5}},
        {"Ucheb", "n = 2^31-1, abs(x) < 1", {nMax, 0.3}},
        {"Ucheb", "n = 2^31-1, abs(x) > 1", {nMax, -1.5}},
        {"Her", "n = 2^31-1 (overflow, then NaN)", {nMax, 0.5}},
        {"Lag", "n = 2^31-1, 0 < x < 4n (oscillating, bounded)", {nMax, 0.5}},
        {"Lag", "n = 2^31-1, x < 0 (overflow, then NaN)", {nMax, -1.0}},
        {"Leg", "n = 2^31-1, abs(x) < 1", {nMax, 0.5}},
        {"Leg", "n = 2^31-1, abs(x) > 1 (overflow, then NaN)", {nMax, 1.5}},
        {"Jac", "n = 2^31-1, abs(x) < 1", {nMax, 0.5, 0.5, 0.5}},
        {"Jac", "n = 2^31-1, abs(x) > 1 (overflow, then NaN)", {nMax, 0.5, 0.5, 1.5}},
        {"Ber", "n = 2^31-1, abs(x) < 2 (power reaches 0)", {nMax, 0.5}},
        {"Ber", "n = 2^31-1, abs(x) = 2 (power stays 1)", {nMax, 2.0}},
        {"Bei", "n = 2^31-1, abs(x) > 2 (power overflows)", {nMax, 3.0}},
        {"Bei", "n = 2^31-1, x = 2 + 2e-9 (power grows, stays finite)", {nMax, 2.000000002}},
        {"Ber", "n = 0, x = 76 (longest converging series)", {0.0, 76.0}},
        {"Igamma", "a = x = 1.4e10 (series at its term limit)", {1.4e10, 1.4e10}},
        {"Igamma", "a = 2e11, x = a + 1 (continued fraction to its step limit)", {2e11, 2e11 + 1.0}},
        {"Gamma", "a = 5000, x = 5001 (incomplete, continued fraction)", {5000.0, 5001.0}},
        {"Fhyper", "logarithmic case, x = 0.75 + 2^-52", {1.0, 1.0, 2.0, 0.7500000000000002}},
        {"Fhyper", "series to its 1000-term limit", {100.5, 100.25, 0.5, 0.75}},
        {"Mhyper", "power series to its 200-term limit", {1.0, 1.0, 64.0}},
        {"Mhyper", "asymptotic expansion", {1.0, 2.0, -50.0}},
        {"Ibeta", "continued fraction to its pass limit, a = b = 1e12", {0.5, 1e12, 1e12}},
        {"Ibeta", "slow zone of a small b, series after 100 passes", {1.0 - 1e-8, 1000.0, 1e-9}},
        {"LnGamma", "reflection", {-7.2}},
        {"Gamma", "complete, reflection", {-7.2}},
    };
    std::printf("| function | input class | arguments | seconds | outcome |\n|---|---|---|---|---|\n");
    for (const Case& c : cases) {
        std::vector<std::shared_ptr<const Tabul::Value>> held;
        std::array<const Tabul::Value*, 4> args{};
        std::string shown;
        for (std::size_t k = 0; k < c.args.size(); ++k) {
            held.push_back(std::make_shared<Tabul::NumVal>(c.args[k], 0.0));
            args[k] = held.back().get();
            shown += (k ? ", " : "") + std::to_string(c.args[k]);
        }
        const Oru::Host::HostCall call = callOf(c.entry);
        const double start = cpuSeconds();
        std::string outcome;
        try {
            const auto result = call(args.data());
            const auto& value = dynamic_cast<const Tabul::NumVal&>(*result);
            char text[64];
            std::snprintf(text, sizeof text, "%.17g", value.Data.rp);
            outcome = text;
        } catch (const Vesk::Run::AppException& e) {
            outcome = "\"" + e.Message() + "\"";
        }
        const double took = cpuSeconds() - start;
        std::printf("| %s | %s | %s | %.3g | %s |\n", c.entry, c.what, shown.c_str(), took, outcome.c_str());
        std::fflush(stdout);
    }
    return 0;
}
