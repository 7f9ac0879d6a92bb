// The benchmark program. Names are kind/function/regime:
//   kernel/...  one kernel call per input of a pool, reported per evaluation;
//   floor/...   the kernel's fixed sequence of operations alone on the same pool;
//   boost/..., gsl/...  the same pool through a peer library;
//   engine/...  one host call on a vector of 100 000 elements and the bare
//               kernel loop over the same elements, in turn, per element;
//   alloc/...   allocating and freeing result arrays of that length, per element;
//   scalar/...  one host call with scalar arguments per input of a pool;
//   guard/...   the gamma kernels' floating-point guard on its own;
//   vector/...  one host call on a vector of 10^6 elements, with one thread
//               and with every core, wall-clock time per element.
// A kernel that raises marks its benchmark as skipped with the message, and
// the run goes on.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cfenv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/allocation_counter.hpp"
#include "bench/floors.hpp"
#include "bench/peers.hpp"
#include "bench/regimes.hpp"
#include "host/parallel.hpp"
#include "numeric/core/fpu_guard.hpp"
#include "oru/special.hpp"
#include "tabul/values.hpp"
#include "vesk/run/app_exception.hpp"

#ifndef ORU_BENCH_COMPILER
#define ORU_BENCH_COMPILER "unknown"
#endif
#ifndef ORU_BENCH_FLAGS
#define ORU_BENCH_FLAGS "unknown"
#endif

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
    state.counters["per_eval"] =
        benchmark::Counter(static_cast<double>(perIteration),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Runs the kernel over a pool once.
void kernelPass(const Regime& r) {
    for (const Args& a : r.pool) {
        tabulComplex res(0.0, 0.0);
        r.kernel(res, a.data());
        benchmark::DoNotOptimize(res);
    }
}

void runKernel(benchmark::State& state, const Regime& r) {
    for (auto _ : state)
        if (!guarded(state, [&] { kernelPass(r); })) break;
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
        const bool twoVectors =
            c.kind == VectorKind::TwoRealVectors || c.kind == VectorKind::TwoComplexVectors;
        const auto rows = static_cast<int>(c.elements.re.size());
        for (std::size_t k = 0; k < c.arity; ++k) {
            if (k == c.position) {
                add(std::make_unique<Tabul::MatVal>(
                    c.elements.re, complex ? std::optional(c.elements.im) : std::nullopt, rows, 1));
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
    if (c.entry == nullptr) return 0.0;
    const std::size_t before = allocationsSoFar();
    try {
        Oru::Special::Result result = c.entry(call.args());
        benchmark::DoNotOptimize(result.get());
    } catch (const std::exception&) {
        // The timed loop reports the error.
    }
    return static_cast<double>(allocationsSoFar() - before);
}

// CPU time of the calling thread, in nanoseconds.
double threadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// Two passes timed in turn within every iteration (CPU time of the thread),
// so that both see the same state of the machine and their ratio or
// difference is not lost in the drift between two separate benchmarks. Each
// iteration swaps which pass goes first: a pass that follows the other one's
// code and data (cold branch predictors, caches) pays for it, and a fixed
// order would charge that to one side only. Reports the second as per_eval
// and the first as first_ns, per evaluation.
template <class First, class Second>
void runInTurn(benchmark::State& state, std::size_t perPass, First&& first, Second&& second) {
    double firstNs = 0.0;
    double secondNs = 0.0;
    bool firstLeads = true;
    const auto timed = [](auto& pass, double& total) {
        const double t0 = threadCpuNs();
        pass();
        total += threadCpuNs() - t0;
    };
    for (auto _ : state) {
        const bool ok = guarded(state, [&] {
            if (firstLeads) {
                timed(first, firstNs);
                timed(second, secondNs);
            } else {
                timed(second, secondNs);
                timed(first, firstNs);
            }
        });
        firstLeads = !firstLeads;
        if (!ok) break;
    }
    const double evaluations = static_cast<double>(state.iterations()) * static_cast<double>(perPass);
    state.SetItemsProcessed(static_cast<std::int64_t>(evaluations));
    if (evaluations > 0) {
        state.counters["per_eval"] = secondNs / evaluations * 1e-9;
        state.counters["first_ns"] = firstNs / evaluations;
    }
}

// The floor of a kernel regime and the kernel, in turn: per_eval is the
// floor's time, first_ns the kernel's.
void runFloor(benchmark::State& state, const Regime& r, KernelCall floor) {
    Regime floorRegime = r;
    floorRegime.kernel = floor;
    runInTurn(
        state, r.pool.size(), [&] { kernelPass(r); }, [&] { kernelPass(floorRegime); });
}

// A host call with scalar arguments, as a worksheet cell makes it, on the
// pool of a kernel regime, in turn with the kernel called directly: per_eval
// is the host call, first_ns the kernel, and their difference the entry
// point's own cost (telling the argument kinds apart, converting, creating
// the result).
void runScalarCall(benchmark::State& state, const Regime& r, EntryCall call, std::size_t arity) {
    std::vector<std::unique_ptr<Tabul::NumVal>> owned;
    std::vector<std::array<const Tabul::Value*, 4>> calls;
    for (const Args& a : r.pool) {
        std::array<const Tabul::Value*, 4> args{};
        for (std::size_t k = 0; k < arity; ++k) {
            owned.push_back(std::make_unique<Tabul::NumVal>(a[k].re, a[k].im));
            args[k] = owned.back().get();
        }
        calls.push_back(args);
    }
    runInTurn(
        state, calls.size(), [&] { kernelPass(r); },
        [&] {
            for (const auto& args : calls) {
                Oru::Special::Result result = call(args.data());
                benchmark::DoNotOptimize(result.get());
            }
        });
}

// The calls of a benchmark kept in the calling thread, whose CPU time is then
// all of their work.
class OneThread {
public:
    OneThread() : m_before(Oru::Host::setVectorThreads(1)) {}
    ~OneThread() { Oru::Host::setVectorThreads(m_before); }
    OneThread(const OneThread&) = delete;
    OneThread& operator=(const OneThread&) = delete;

private:
    int m_before;
};

// The entry point and the bare kernel loop on the same elements, in turn
// within every iteration, so that both see the same state of the machine and
// their difference (the engine's cost) is not lost in the drift between two
// separate benchmarks. The timed result includes freeing the result, as the
// host would.
void runEngine(benchmark::State& state, const EntryCase& c) {
    const OneThread oneThread;
    const HostCall call(c);
    const double allocations = allocationsPerCall(c, call);
    std::vector<double> re(c.elements.re.size());
    std::vector<double> im(c.elements.re.size());
    double loopNs = 0.0;
    double entryNs = 0.0;
    for (auto _ : state) {
        const double t0 = threadCpuNs();
        const bool ok = guarded(state, [&] {
            c.reference(c.elements, c.fixed, re.data(), im.data());
            benchmark::ClobberMemory();
            const double t1 = threadCpuNs();
            if (c.entry == nullptr) {
                c.reference(c.elements, c.fixed, re.data(), im.data());
                benchmark::ClobberMemory();
            } else {
                Oru::Special::Result result = c.entry(call.args());
                benchmark::DoNotOptimize(result.get());
            }
            const double t2 = threadCpuNs();
            loopNs += t1 - t0;
            entryNs += t2 - t1;
        });
        if (!ok) break;
    }
    const double elements =
        static_cast<double>(state.iterations()) * static_cast<double>(c.elements.re.size());
    state.SetItemsProcessed(static_cast<std::int64_t>(elements));
    if (elements > 0) {
        state.counters["entry_ns"] = entryNs / elements;
        state.counters["loop_ns"] = loopNs / elements;
        state.counters["engine_ns"] = (entryNs - loopNs) / elements;
    }
    state.counters["allocs_per_call"] = allocations;
}

// A vector call of 10^6 elements (the elements of an entry case, repeated),
// with one thread and with every core: wall-clock time per element. The
// engine/ benchmarks keep to one thread, so that the calling thread's CPU
// time is the whole of their work.
constexpr std::size_t kLongVectorRepeats = 10;

EntryCase longVectorCase(const EntryCase& c) {
    EntryCase longer = c;
    for (std::size_t k = 1; k < kLongVectorRepeats; ++k) {
        longer.elements.re.insert(longer.elements.re.end(), c.elements.re.begin(), c.elements.re.end());
        longer.elements.im.insert(longer.elements.im.end(), c.elements.im.begin(), c.elements.im.end());
    }
    return longer;
}

// Wall-clock nanoseconds of one call.
template <class Call>
double wallNs(Call&& call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
}

// The bare loop over a long vector, with its elements cut into slices that
// the threads take one at a time (OpenMP's own sharing, as plain as it gets),
// into preallocated arrays: the speed-up the machine itself allows a kernel,
// next to which the engine's speed-up is read. Its memory traffic (reading the
// elements, writing the results) is shared by the cores like the engine's.
class SlicedBareLoop {
public:
    explicit SlicedBareLoop(const EntryCase& c) : m_case(c), m_re(c.elements.re.size()), m_im(m_re.size()) {
        const std::size_t n = c.elements.re.size();
        const std::size_t perSlice = (n + kSlices - 1) / kSlices;
        for (std::size_t begin = 0; begin < n; begin += perSlice) {
            const std::size_t end = std::min(n, begin + perSlice);
            VectorInputs slice;
            slice.re.assign(c.elements.re.begin() + begin, c.elements.re.begin() + end);
            if (!c.elements.im.empty())
                slice.im.assign(c.elements.im.begin() + begin, c.elements.im.begin() + end);
            m_slices.push_back(std::move(slice));
            m_offsets.push_back(begin);
        }
    }

    void run(int threads) {
        const auto count = static_cast<std::int64_t>(m_slices.size());
#pragma omp parallel for num_threads(threads) schedule(dynamic, 1)
        for (std::int64_t s = 0; s < count; ++s) {
            const auto k = static_cast<std::size_t>(s);
            m_case.reference(m_slices[k], m_case.fixed, m_re.data() + m_offsets[k],
                             m_im.data() + m_offsets[k]);
        }
        benchmark::ClobberMemory();
    }

private:
    static constexpr std::size_t kSlices = 64;
    const EntryCase& m_case;
    std::vector<VectorInputs> m_slices;
    std::vector<std::size_t> m_offsets;
    std::vector<double> m_re;
    std::vector<double> m_im;
};

// The same vector call with one thread and with every core (ORU_SPECIAL_THREADS,
// or the number of cores), in turn within every iteration, so that a change
// in the machine's load between the two does not show as a speed-up, and the
// sliced bare loop with one thread and with as many: per_eval is the time per
// element with every core, one_thread_ns with one, bare_one_ns and
// bare_all_ns the bare loop's.
void runLongVector(benchmark::State& state, const EntryCase& c, int threads) {
    const HostCall call(c);
    SlicedBareLoop bare(c);
    const int before = Oru::Host::vectorThreads();
    double oneNs = 0.0;
    double allNs = 0.0;
    double bareOneNs = 0.0;
    double bareAllNs = 0.0;
    for (auto _ : state) {
        const bool ok = guarded(state, [&] {
            const auto oneCall = [&] {
                Oru::Special::Result result = c.entry(call.args());
                benchmark::DoNotOptimize(result.get());
            };
            Oru::Host::setVectorThreads(1);
            oneNs += wallNs(oneCall);
            Oru::Host::setVectorThreads(threads);
            allNs += wallNs(oneCall);
            bareOneNs += wallNs([&] { bare.run(1); });
            bareAllNs += wallNs([&] { bare.run(threads); });
        });
        if (!ok) break;
    }
    Oru::Host::setVectorThreads(before);
    const double elements =
        static_cast<double>(state.iterations()) * static_cast<double>(c.elements.re.size());
    state.SetItemsProcessed(static_cast<std::int64_t>(elements));
    if (elements > 0) {
        state.counters["per_eval"] = allNs / elements * 1e-9;
        state.counters["one_thread_ns"] = oneNs / elements;
        state.counters["bare_one_ns"] = bareOneNs / elements;
        state.counters["bare_all_ns"] = bareAllNs / elements;
        state.counters["threads"] = threads;
    }
}

// One real-vector case per function.
void registerLongVectors() {
    static std::deque<EntryCase> cases;
    const int cores = Oru::Host::vectorThreads();
    for (const EntryCase& c : entryCases()) {
        if (c.kind != VectorKind::Real || c.entry == nullptr) continue;
        cases.push_back(longVectorCase(c));
        benchmark::RegisterBenchmark(("vector/" + c.function + "/one thread and every core").c_str(),
                                     runLongVector, std::cref(cases.back()), cores)
            ->UseRealTime();
    }
}

// The least any engine that hands over new result arrays pays: allocating
// and zero-filling them, and freeing them after the host is done.
void runResultArrays(benchmark::State& state, int arrays) {
    for (auto _ : state) {
        Tabul::MatVal::Array re(kVectorLength);
        std::optional<Tabul::MatVal::Array> im;
        if (arrays == 2) im.emplace(kVectorLength);
        benchmark::DoNotOptimize(re.data());
        if (im) benchmark::DoNotOptimize(im->data());
    }
    reportPer(state, kVectorLength);
}

// What the guard costs depends on the caller's x87 exception flags: an
// extended-precision operation anywhere before (the Kelvin kernels' divisor,
// the host's own long doubles) leaves the inexact flag pending, and the guard
// then clears and later restores the caller's flags. Both states are
// measured, for the guard alone and for Gamma(x), which opens one guard.
void setCallerFlags(bool pending) {
    std::feclearexcept(FE_ALL_EXCEPT);
    if (pending) {
        volatile long double one = 1.0L;
        volatile long double three = 3.0L;
        volatile long double third = one / three;  // inexact: sets the flag
        benchmark::DoNotOptimize(third);
    }
}

void runGuard(benchmark::State& state, Oru::FpuPrecisionGuard::X87Use use, bool pending) {
    setCallerFlags(pending);
    for (auto _ : state) {
        Oru::FpuPrecisionGuard guard(use);
        benchmark::ClobberMemory();
    }
    reportPer(state, 1);
}

void runKernelWithFlags(benchmark::State& state, const Regime& r, bool pending) {
    setCallerFlags(pending);
    runKernel(state, r);
}

// Each guarded kernel next to the guard in the form it opens: Gamma(z)
// computes in doubles only, Gamma(a, x) also in extended precision.
void registerGuard() {
    using Use = Oru::FpuPrecisionGuard::X87Use;
    struct Guarded {
        const char* kernel;
        const char* function;
        const char* regime;
        const char* form;
        Use use;
    };
    const Guarded guarded[] = {
        {"Gamma(x)", "Gamma(z)", "real, x >= 0.5", "doubles only", Use::NoExtendedValues},
        {"Gamma(a,x)", "Gamma(a,x)", "power series, x <= max(1, a)", "extended values", Use::ExtendedValues},
    };
    for (const bool pending : {false, true}) {
        const std::string flags = pending ? "caller's x87 flags pending" : "caller's flags clear";
        for (const Guarded& g : guarded) {
            benchmark::RegisterBenchmark(
                ("guard/FpuPrecisionGuard, " + std::string(g.form) + "/" + flags).c_str(), runGuard, g.use,
                pending);
            for (const Regime& r : kernelRegimes())
                if (r.function == g.function && r.regime == g.regime)
                    benchmark::RegisterBenchmark(("guard/" + std::string(g.kernel) + "/" + flags).c_str(),
                                                 runKernelWithFlags, std::cref(r), pending);
        }
    }
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
        if (const KernelCall floor = floorOf(r.function, r.regime))
            benchmark::RegisterBenchmark(("floor/" + tail).c_str(), runFloor, std::cref(r), floor);
        for (const PeerLibrary& lib : libraries)
            for (const Peer& p : lib.peers)
                if (p.key == r.peerKey)
                    benchmark::RegisterBenchmark((lib.name + "/" + tail).c_str(), runPeer, std::cref(r),
                                                 p.call);
    }
    // Scalar calls on the first regime of every function.
    for (const EntryCase& c : entryCases()) {
        if (c.kind != VectorKind::Real || c.entry == nullptr) continue;
        for (const Regime& r : kernelRegimes())
            if (r.function == c.function) {
                benchmark::RegisterBenchmark(("scalar/" + r.function + "/" + r.regime).c_str(), runScalarCall,
                                             std::cref(r), c.entry, c.arity);
                break;
            }
    }
    for (const EntryCase& c : entryCases()) {
        const std::string tail = c.function + "/" + c.variant;
        benchmark::RegisterBenchmark(("engine/" + tail).c_str(), runEngine, std::cref(c));
    }
    benchmark::RegisterBenchmark("alloc/result arrays/one array", runResultArrays, 1);
    benchmark::RegisterBenchmark("alloc/result arrays/two arrays", runResultArrays, 2);
    registerGuard();
    registerLongVectors();

    benchmark::AddCustomContext("cpu_model", cpuModel());
    benchmark::AddCustomContext("compiler", ORU_BENCH_COMPILER);
    benchmark::AddCustomContext("flags", ORU_BENCH_FLAGS);
    for (const PeerLibrary& lib : libraries)
        benchmark::AddCustomContext(lib.name, lib.version.empty() ? "not found" : lib.version);
}

}  // namespace

}  // namespace OruBench

namespace OruBench {
namespace {

// The first benchmark of a run would otherwise pay for the processor's clock
// ramping up and for the first touch of code and data; that first one is
// Tcheb at n = 5, the yardstick of the engine's cost.
void warmUp() {
    const double until = threadCpuNs() + 3e8;
    while (threadCpuNs() < until)
        for (const Regime& r : kernelRegimes()) {
            for (const Args& a : r.pool) {
                tabulComplex res(0.0, 0.0);
                try {
                    r.kernel(res, a.data());
                } catch (const std::exception&) {
                    // The benchmark itself reports it.
                }
                benchmark::DoNotOptimize(res);
            }
            if (threadCpuNs() >= until) break;
        }
}

}  // namespace
}  // namespace OruBench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    OruBench::registerAll();
    OruBench::warmUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
