// The library keeps no state and touches only the calling thread's
// floating-point environment, so the same calls made from several threads at
// once must give the results of a single-threaded run bit for bit, errors
// included: every kernel on every point of the reference data, and seeded
// calls of the fourteen entry points with vectors. Threads that run in another rounding mode call the gamma
// functions, whose guard computes in round-to-nearest and must hand the
// thread's own mode back after every call. The suite also runs under
// ThreadSanitizer (scripts/ci_reliability.sh).

#include <gtest/gtest.h>

#include <array>
#include <cfenv>
#include <cstring>
#include <functional>
#include <latch>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fuzz/entry_points.hpp"
#include "fuzz/outcome_check.hpp"
#include "host/parallel.hpp"
#include "tests/support/reference_data.hpp"

namespace {

using OruFuzz::EntryPoint;
using Held = std::shared_ptr<const Tabul::Value>;

struct HostCall {
    const EntryPoint* entry;
    std::vector<Held> args;
};

const EntryPoint& entryNamed(const char* name) {
    for (const EntryPoint& e : OruFuzz::kEntryPoints)
        if (std::strcmp(e.name, name) == 0) return e;
    throw std::logic_error(name);
}

// The outcome of a call as comparable text: result bits, or the error.
std::string outcomeOf(const HostCall& call) {
    std::array<const Tabul::Value*, 4> args{};
    for (std::size_t k = 0; k < call.args.size(); ++k) args[k] = call.args[k].get();
    try {
        return OruFuzz::fingerprint(call.entry->call(args.data()).get());
    } catch (const Vesk::Run::AppException& e) {
        return OruFuzz::fingerprint(e);
    } catch (const std::exception& e) {
        return std::string("unexpected exception ") + e.what();
    }
}

// Seeded calls of every function across its domain: a vector of points and
// scalar parameters, some of them outside the domain so that errors are
// compared too.
class CallSet {
public:
    std::vector<HostCall> calls;

    CallSet() {
        for (double n : {0.0, 1.0, 2.0, 5.0}) {
            pointCalls("Ber", {n}, 0, -30, 30);
            pointCalls("Bei", {n}, 0, -30, 30);
        }
        pointCalls("Ber", {0.0}, 0, 80, 1100);  // asymptotic expansion, "overflow" past 1010
        for (const char* name : {"Her", "Lag", "Leg", "Tcheb", "Ucheb"})
            for (double n : {0.0, 1.0, 3.0, 17.0, 60.0, 2.5}) pointCalls(name, {n}, 0, -3, 3);
        for (double n : {0.0, 4.0, 30.0})
            pointCalls("Jac", {n, uniform(-0.9, 5), uniform(-0.9, 5)}, 0, -1, 1);
        for (double a : {0.5, 2.9, 10.0, 50.0}) pointCalls("Igamma", {a}, 0, 0, 100);
        for (double a : {0.0, 0.5, 3.0, 12.5}) pointCalls("Gamma", {a}, 0, 0, 40);
        for (int k = 0; k < 4; ++k) {
            pointCalls("Fhyper", {uniform(-3, 3), uniform(-3, 3), uniform(0.5, 5)}, 0, -0.99, 0.99);
            pointCalls("Mhyper", {uniform(-5, 5), uniform(0.5, 5)}, 0, -60, 60);
            pointCalls("Ibeta", {uniform(0.1, 20), uniform(0.1, 20)}, 2, 0, 1);
        }
        for (int k = 0; k < 4; ++k) {
            complexCalls("Gamma", -20, 20, -10, 10);
            complexCalls("LnGamma", -20, 20, -10, 10);
        }
        complexCalls("Gamma", -5, 5, 0, 0);
        complexCalls("LnGamma", -5, 5, 0, 0);
    }

private:
    std::mt19937_64 m_random{20261208};
    static constexpr int kPoints = 16;

    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_random); }

    Held points(double lo, double hi) {
        Tabul::MatVal::Array x(kPoints);
        for (double& v : x) v = uniform(lo, hi);
        return std::make_shared<Tabul::MatVal>(std::move(x), std::nullopt, kPoints, 1);
    }

    // The parameters in host order with the vector of points inserted at
    // pointPosition counted from the end (0: last argument).
    void pointCalls(const char* name, std::vector<double> parameters, std::size_t pointPosition, double lo,
                    double hi) {
        const EntryPoint& e = entryNamed(name);
        std::vector<Held> args;
        for (double p : parameters) args.push_back(std::make_shared<Tabul::NumVal>(p, 0.0));
        args.insert(args.end() - static_cast<std::ptrdiff_t>(pointPosition), points(lo, hi));
        calls.push_back({&e, std::move(args)});
    }

    // One complex vector (real when imLo = imHi = 0) and a null second
    // argument for Gamma.
    void complexCalls(const char* name, double reLo, double reHi, double imLo, double imHi) {
        Tabul::MatVal::Array re(kPoints), im(kPoints);
        for (int k = 0; k < kPoints; ++k) {
            re[k] = uniform(reLo, reHi);
            im[k] = imLo == imHi ? 0.0 : uniform(imLo, imHi);
        }
        std::optional<Tabul::MatVal::Array> imag;
        if (imLo != imHi) imag = std::move(im);
        std::vector<Held> args{std::make_shared<Tabul::MatVal>(std::move(re), std::move(imag), kPoints, 1)};
        if (std::strcmp(name, "Gamma") == 0) args.push_back(nullptr);
        calls.push_back({&entryNamed(name), std::move(args)});
    }
};

// Calls with vectors long and costly enough to be split across threads, with
// failing elements in the middle: the first in element order must be the one
// reported whichever thread meets which first.
std::vector<HostCall> longVectorCalls() {
    constexpr int kLength = 20000;
    std::mt19937_64 random(7);
    const auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    const auto vector = [&](double lo, double hi, auto&& change) {
        Tabul::MatVal::Array x(kLength);
        for (int k = 0; k < kLength; ++k) x[k] = change(k, uniform(lo, hi));
        return std::make_shared<Tabul::MatVal>(std::move(x), std::nullopt, kLength, 1);
    };
    // The same points with an imaginary array of zeros.
    const auto withZeros = [&](const std::shared_ptr<Tabul::MatVal>& real) {
        return std::make_shared<Tabul::MatVal>(real->m_rarr, Tabul::MatVal::Array(kLength), kLength, 1);
    };
    const auto same = [](int, double v) { return v; };
    const auto scalar = [](double v) { return std::make_shared<Tabul::NumVal>(v, 0.0); };
    const auto degrees = [](int k, double) { return k == 9000 ? 2.5 : k == 13000 ? -3.0 : 40.0; };
    return {
        {&entryNamed("Tcheb"), {scalar(60.0), vector(-1.2, 1.2, same)}},
        {&entryNamed("Tcheb"), {vector(0, 1, degrees), vector(-1.2, 1.2, same)}},
        // Imaginary parts (of the logarithm of a negative Gamma) only in the
        // second half: the result's array is created while the threads run.
        {&entryNamed("LnGamma"),
         {withZeros(vector(-20, 20, [](int k, double v) { return k < 10000 ? 21 + v : v; }))}},
        {&entryNamed("Gamma"), {vector(-20, 170, same), nullptr}},
        {&entryNamed("Fhyper"), {scalar(0.3), scalar(1.7), scalar(2.9), vector(-0.9, 0.9, same)}},
        {&entryNamed("Ber"),
         {scalar(0.0), vector(0, 30, [](int k, double v) { return k == 11000 ? 200.0 : v; })}},
    };
}

// The outcome and the floating-point flags it raised.
std::string outcomeAndFlags(const HostCall& call) {
    std::feclearexcept(FE_ALL_EXCEPT);
    const std::string outcome = outcomeOf(call);
    return outcome + " flags " + std::to_string(std::fetestexcept(FE_ALL_EXCEPT));
}

// One unit of work for the threads: a call whose outcome is compared.
struct Work {
    std::string name;
    bool gamma;  // a gamma function, called from the upward-rounding threads too
    std::function<std::string()> run;
};

std::string referenceOutcome(const Oru::Accuracy::ReferenceFunction& f, const std::vector<double>& inputs) {
    try {
        const Oru::tabulComplex r = Oru::Accuracy::evaluateKernel(f, inputs);
        return std::to_string(OruFuzz::bitsOf(r.re)) + ' ' + std::to_string(OruFuzz::bitsOf(r.im));
    } catch (const Vesk::Run::AppException& e) {
        return OruFuzz::fingerprint(e);
    }
}

// Every kernel on every reference point, then the entry points on vectors.
std::vector<Work> allWork() {
    static const CallSet calls;
    std::vector<Work> work;
    for (const Oru::Accuracy::ReferenceFunction& f : Oru::Accuracy::referenceFunctions()) {
        const std::string file = Oru::Accuracy::referenceDirectory() + "/" + f.name + ".txt";
        const bool gamma = std::strcmp(f.name, "gamma") == 0 || std::strcmp(f.name, "gamma2") == 0;
        for (const Oru::Accuracy::ReferencePoint& point : Oru::Accuracy::readReferenceFile(file, f.arity))
            work.push_back(
                {f.name, gamma, [&f, inputs = point.inputs] { return referenceOutcome(f, inputs); }});
    }
    for (const HostCall& c : calls.calls)
        work.push_back(
            {c.entry->name, std::strcmp(c.entry->name, "Gamma") == 0, [&c] { return outcomeOf(c); }});
    return work;
}

// What one thread saw differently from the single-threaded run.
struct ThreadReport {
    int mismatches = 0;
    int roundingModeLost = 0;
    std::string first;
};

void compare(ThreadReport& report, const Work& w, const std::string& expected) {
    const std::string got = w.run();
    if (got == expected) return;
    if (report.mismatches++ == 0) report.first = w.name + ": " + got + " | " + expected;
}

}  // namespace

TEST(Threads, ConcurrentCallsMatchASingleThreadedRunBitForBit) {
    const std::vector<Work> work = allWork();
    ASSERT_GT(work.size(), 5000u);
    std::vector<std::string> expected;
    for (const Work& w : work) expected.push_back(w.run());

    constexpr int kPlainThreads = 4;
    constexpr int kUpwardThreads = 2;
    std::vector<ThreadReport> reports(kPlainThreads + kUpwardThreads);
    std::latch start(kPlainThreads + kUpwardThreads);
    std::vector<std::thread> threads;

    // Everything, each thread starting at a different place.
    for (int t = 0; t < kPlainThreads; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            const std::size_t shift = work.size() * static_cast<std::size_t>(t) / kPlainThreads;
            for (std::size_t k = 0; k < work.size(); ++k) {
                const std::size_t i = (k + shift) % work.size();
                compare(reports[t], work[i], expected[i]);
            }
        });
    }
    // The gamma functions from threads rounding upward: their guard rounds
    // to nearest inside the call and gives the thread its mode back.
    for (int t = kPlainThreads; t < kPlainThreads + kUpwardThreads; ++t) {
        threads.emplace_back([&, t] {
            std::fesetround(FE_UPWARD);
            start.arrive_and_wait();
            for (int round = 0; round < 2; ++round)
                for (std::size_t i = 0; i < work.size(); ++i) {
                    if (!work[i].gamma) continue;
                    compare(reports[t], work[i], expected[i]);
                    if (std::fegetround() != FE_UPWARD) ++reports[t].roundingModeLost;
                }
            std::fesetround(FE_TONEAREST);
        });
    }
    for (std::thread& t : threads) t.join();

    for (std::size_t t = 0; t < reports.size(); ++t) {
        EXPECT_EQ(reports[t].mismatches, 0) << "thread " << t << ", first: " << reports[t].first;
        EXPECT_EQ(reports[t].roundingModeLost, 0) << "thread " << t;
    }
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

TEST(Threads, LongVectorsSplitAcrossThreadsGiveTheOutcomeOfOneThread) {
    const std::vector<HostCall> calls = longVectorCalls();
    const int defaultThreads = Oru::Host::vectorThreads();
    for (const int rounding : {FE_TONEAREST, FE_UPWARD}) {
        std::fesetround(rounding);
        for (const HostCall& call : calls) {
            Oru::Host::setVectorThreads(1);
            const std::string alone = outcomeAndFlags(call);
            Oru::Host::setVectorThreads(4);
            EXPECT_EQ(outcomeAndFlags(call), alone) << call.entry->name << ", rounding " << rounding;
        }
    }
    std::fesetround(FE_TONEAREST);
    Oru::Host::setVectorThreads(defaultThreads);
    // The first failing element, not the second.
    const Vesk::Run::AppException first("must be integer", 1);
    EXPECT_EQ(outcomeOf(calls[1]), OruFuzz::fingerprint(first));
}
