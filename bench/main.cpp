// The benchmark program. Names are kind/function/regime:
//   kernel/...  one kernel call per input of a pool, reported per evaluation;
//   boost/..., gsl/...  the same pool through a peer library;
//   entry/...   one host call on a vector of 100 000 elements, per element;
//   loop/...    the bare kernel loop over the same elements, per element;
//   guard/...   the gamma kernels' floating-point guard on its own.
// A kernel still raising (for instance "not implemented") marks its
// benchmark as skipped with the message, and the run goes on.

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "bench/peers.hpp"
#include "bench/regimes.hpp"
#include "numeric/gamma/fpu_guard.hpp"
#include "oru/special.hpp"
#include "tabul/values.hpp"
#include "vesk/run/app_exception.hpp"

#ifndef ORU_BENCH_COMPILER
#define ORU_BENCH_COMPILER "unknown"
#endif
#ifndef ORU_BENCH_FLAGS
#define ORU_BENCH_FLAGS "unknown"
#endif

// Every allocation of the program is counted, so that an entry benchmark
// can state how many allocations one host call makes (a fixed few, never
// one per element).
namespace {
std::atomic<std::size_t> allocationCount{0};
}  // namespace

void* operator new(std::size_t size) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace OruBench {

namespace {

// The library keeps the message of a skipped benchmark; these outlive it.
void skip(benchmark::State& state, const std::string& why) {
    static std::deque<std::string> messages;
    messages.push_back(why);
    state.SkipWithError(messages.back().c_str());
}

// Runs one timed step; false (after marking the benchmark skipped) if it raised.
template <class Step>
bool guarded(benchmark::State& state, Step&& step) {
    try {
        step();
        return true;
    } catch (const Vesk::Run::AppException& e) {
        skip(state, "raised \"" + e.Message() + "\"");
    } catch (const std::exception& e) {
        skip(state, std::string("raised ") + e.what());
    }
    return false;
}

// Time per evaluation (or per element), stated as a counter of its own.
void reportPer(benchmark::State& state, std::size_t perIteration) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(perIteration));
    state.counters["per_eval"] = benchmark::Counter(static_cast<double>(perIteration),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void runKernel(benchmark::State& state, const Regime& r) {
    for (auto _ : state) {
        const bool ok = guarded(state, [&] {
            for (const Args& a : r.pool) {
                tabulComplex res(0.0, 0.0);
                r.kernel(res, a);
                benchmark::DoNotOptimize(res);
            }
        });
        if (!ok) break;
    }
    reportPer(state, r.pool.size());
}

void runPeer(benchmark::State& state, const Regime& r, PeerCall call) {
    for (auto _ : state) {
        for (const Args& a : r.pool) {
            tabulComplex res = call(a);
            benchmark::DoNotOptimize(res);
        }
    }
    reportPer(state, r.pool.size());
}

// The host values of one entry call: scalars for the fixed arguments, the
// vector (and for the two-vector kinds a second vector of the fixed value).
class HostCall {
public:
    explicit HostCall(const EntryCase& c) {
        const bool complex = c.kind == VectorKind::Complex || c.kind == VectorKind::TwoComplexVectors;
        const bool twoVectors = c.kind == VectorKind::TwoRealVectors || c.kind == VectorKind::TwoComplexVectors;
        const auto rows = static_cast<int>(c.elements.re.size());
        for (std::size_t k = 0; k < c.arity; ++k) {
            if (k == c.position) {
                add(std::make_unique<Tabul::MatVal>(c.elements.re, complex ? std::optional(c.elements.im) : std::nullopt,
                                                    rows, 1));
            } else if (twoVectors) {
                Tabul::MatVal::Array re(c.elements.re.size(), c.fixed[k].re);
                std::optional<Tabul::MatVal::Array> im;
                if (complex) im.emplace(c.elements.re.size(), c.fixed[k].im);
                add(std::make_unique<Tabul::MatVal>(std::move(re), std::move(im), rows, 1));
            } else {
                add(std::make_unique<Tabul::NumVal>(c.fixed[k].re, c.fixed[k].im));
            }
        }
    }
    const Tabul::Value* const* args() const { return m_args.data(); }

private:
    void add(std::unique_ptr<Tabul::Value> v) {
        m_args[m_owned.size()] = v.get();
        m_owned.push_back(std::move(v));
    }
    std::vector<std::unique_ptr<Tabul::Value>> m_owned;
    std::array<const Tabul::Value*, 4> m_args{};
};

// Allocations made by one host call, counted on an untimed call.
double allocationsPerCall(const EntryCase& c, const HostCall& call) {
    const std::size_t before = allocationCount.load();
    try {
        Oru::Special::Result result = c.entry(call.args());
        benchmark::DoNotOptimize(result.get());
    } catch (const std::exception&) {
        // The timed loop reports the error.
    }
    return static_cast<double>(allocationCount.load() - before);
}

void runEntry(benchmark::State& state, const EntryCase& c) {
    const HostCall call(c);
    const double allocations = allocationsPerCall(c, call);
    for (auto _ : state) {
        const bool ok = guarded(state, [&] {
            Oru::Special::Result result = c.entry(call.args());
            benchmark::DoNotOptimize(result.get());
        });
        if (!ok) break;
    }
    reportPer(state, c.elements.re.size());
    state.counters["allocs_per_call"] = allocations;
}

void runReference(benchmark::State& state, const EntryCase& c) {
    std::vector<double> re(c.elements.re.size());
    std::vector<double> im(c.elements.re.size());
    for (auto _ : state) {
        const bool ok = guarded(state, [&] {
            c.reference(c.elements, c.fixed, re.data(), im.data());
            benchmark::ClobberMemory();
        });
        if (!ok) break;
    }
    reportPer(state, c.elements.re.size());
}

// Constructing and destroying the guard is all the cost it adds to a call of
// tabulGamma1 or tabulGamma2.
void runGuard(benchmark::State& state) {
    for (auto _ : state) {
        Oru::FpuPrecisionGuard guard;
        benchmark::ClobberMemory();
    }
    reportPer(state, 1);
}

std::string cpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0) {
            const auto colon = line.find(':');
            if (colon != std::string::npos) return line.substr(line.find_first_not_of(' ', colon + 1));
        }
    return "unknown";
}

void registerAll() {
    const std::vector<PeerLibrary> libraries{boostLibrary(), gslLibrary()};
    for (const Regime& r : kernelRegimes()) {
        const std::string tail = r.function + "/" + r.regime;
        benchmark::RegisterBenchmark(("kernel/" + tail).c_str(), runKernel, std::cref(r));
        for (const PeerLibrary& lib : libraries)
            for (const Peer& p : lib.peers)
                if (p.key == r.peerKey)
                    benchmark::RegisterBenchmark((lib.name + "/" + tail).c_str(), runPeer, std::cref(r), p.call);
    }
    for (const EntryCase& c : entryCases()) {
        const std::string tail = c.function + "/" + c.variant;
        benchmark::RegisterBenchmark(("entry/" + tail).c_str(), runEntry, std::cref(c));
        benchmark::RegisterBenchmark(("loop/" + tail).c_str(), runReference, std::cref(c));
    }
    benchmark::RegisterBenchmark("guard/FpuPrecisionGuard/construct and destroy", runGuard);

    benchmark::AddCustomContext("cpu_model", cpuModel());
    benchmark::AddCustomContext("compiler", ORU_BENCH_COMPILER);
    benchmark::AddCustomContext("flags", ORU_BENCH_FLAGS);
    for (const PeerLibrary& lib : libraries)
        benchmark::AddCustomContext(lib.name, lib.version.empty() ? "not found" : lib.version);
}

}  // namespace

}  // namespace OruBench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    OruBench::registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
