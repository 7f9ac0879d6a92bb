// A worksheet passes whatever its users type: every call must end in a
// result or a documented error, quickly, with the caller's floating-point
// settings untouched. The committed fuzz inputs are replayed here through
// the same decoder and checks as the fuzz target, so that every build of the
// tests (the sanitizer builds included) runs them; the inputs that once
// broke a promise are among them, and the faults still open have their own
// tests below.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cfenv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/checked_call.hpp"
#include "host_values.hpp"

namespace {

namespace fs = std::filesystem;

fs::path corpusDirectory() { return fs::path(ORU_REFERENCE_DIR) / ".." / ".." / "fuzz" / "corpus" / "fuzz_entry_points"; }

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
    } catch (const Vesk::Run::AppException&) {
    }
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
        EXPECT_EQ(OruFuzz::runChecked(*call), "") << file.path().filename() << ": " << OruFuzz::describeCall(*call);
    }
    EXPECT_GT(replayed, 20);
}

// Open fault of the Kelvin series: in a directed rounding mode neither the
// power nor the divisor ever becomes infinite (they stop at the largest
// finite values), so for a large point the sum keeps changing and the pass
// loop never ends; in round-to-nearest the same calls raise "not
// converging". Enable once the loop is bounded.
TEST(Robustness, DISABLED_KelvinSeriesEndsInEveryRoundingMode) {
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

// The slowest single calls, one per input class, timed once each; run by
// hand in a Release build to refresh the table in docs/reliability.md:
//   oru_special_tests --gtest_also_run_disabled_tests --gtest_filter='*MeasureWorstCases'
TEST(Robustness, DISABLED_MeasureWorstCases) {
    struct Case {
        const char* entry;
        const char* what;
        std::vector<double> args;  // real scalars in host order
    };
    const double nMax = 2147483647.0;
    const std::vector<Case> cases = {
        {"Tcheb", "n = 2^31-1, |x| < 1 (values stay bounded)", {nMax, 0.5}},
        {"Tcheb", "n = 2^31-1, |x| > 1 (overflow, then NaN)", {nMax, 1.5}},
        {"Ucheb", "n = 2^31-1, |x| < 1", {nMax, 0.5}},
        {"Her", "n = 2^31-1 (overflow, then NaN)", {nMax, 0.5}},
        {"Lag", "n = 2^31-1, 0 < x < 4n (oscillating, bounded)", {nMax, 0.5}},
        {"Lag", "n = 2^31-1, x < 0 (overflow, then NaN)", {nMax, -1.0}},
        {"Leg", "n = 2^31-1, |x| < 1", {nMax, 0.5}},
        {"Leg", "n = 2^31-1, |x| > 1 (overflow, then NaN)", {nMax, 1.5}},
        {"Jac", "n = 2^31-1, |x| < 1", {nMax, 0.5, 0.5, 0.5}},
        {"Jac", "n = 2^31-1, |x| > 1 (overflow, then NaN)", {nMax, 0.5, 0.5, 1.5}},
        {"Ber", "n = 2^31-1, |x| < 2 (power reaches 0)", {nMax, 0.5}},
        {"Ber", "n = 2^31-1, |x| = 2 (power stays 1)", {nMax, 2.0}},
        {"Bei", "n = 2^31-1, |x| > 2 (power overflows)", {nMax, 3.0}},
        {"Ber", "n = 0, x = 76 (longest converging series)", {0.0, 76.0}},
        {"Ber", "n = 1754, x = 700", {1754.0, 700.0}},
        {"Igamma", "a = x = 11355 (longest series)", {11355.0, 11355.0}},
        {"Igamma", "a = 11355, x = 11356 (continued fraction)", {11355.0, 11356.0}},
        {"Gamma", "a = 11355.8, x = 11355.9 (incomplete)", {11355.8, 11355.9}},
        {"Fhyper", "log case, x = 0.75 + 2^-52", {1.0, 1.0, 2.0, 0.7500000000000002}},
        {"Fhyper", "series of 1000 terms, x = 0.75", {100.5, 100.25, 0.5, 0.75}},
        {"Mhyper", "power series of 200 terms", {1.0, 1.0, 64.0}},
        {"Ibeta", "100 passes of the continued fraction", {0.5, 1e6, 1e6}},
        {"LnGamma", "reflection", {-7.2}},
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
        const OruFuzz::EntryPoint* entry = nullptr;
        for (const OruFuzz::EntryPoint& e : OruFuzz::kEntryPoints)
            if (std::string(e.name) == c.entry) entry = &e;
        ASSERT_NE(entry, nullptr);
        const auto start = std::chrono::steady_clock::now();
        std::string outcome;
        try {
            const auto result = entry->call(args.data());
            const auto& value = dynamic_cast<const Tabul::NumVal&>(*result);
            char text[64];
            std::snprintf(text, sizeof text, "%.17g", value.Data.rp);
            outcome = text;
        } catch (const Vesk::Run::AppException& e) {
            outcome = "\"" + e.Message() + "\"";
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("| %s | %s | %s | %.3g | %s |\n", c.entry, c.what, shown.c_str(), took.count(),
                    outcome.c_str());
        std::fflush(stdout);
    }
}
