// Calling from several threads, and the floating-point environment around a
// call.
#include <oru/special.hpp>

#include <cfenv>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

// Each thread evaluates its own values; the library shares no state between
// calls, so no lock is needed.
void worker(int id, double& out) {
    const Tabul::NumVal n(static_cast<double>(id), 0.0), x(0.5, 0.0);
    double sum = 0.0;
    for (int k = 0; k < 1000; ++k) {
        const auto r = Oru::Special::Leg(&n, &x);
        sum += dynamic_cast<const Tabul::NumVal&>(*r).Data.rp;
    }
    out = sum;
}

bool gammaKeepsEnvironment() {
    // The gamma kernels compute with round-to-nearest and every exception
    // masked, then give the caller's settings and flags back, also on error.
    std::fesetround(FE_UPWARD);
    std::feclearexcept(FE_ALL_EXCEPT);
    const Tabul::NumVal big(200.0, 0.5), zero(0.0, 0.0);
    Oru::Special::Gamma(&big, nullptr);  // overflows to infinity inside
    try {
        Oru::Special::Gamma(&zero, nullptr);
    } catch (const Vesk::Run::AppException&) {}
    const bool kept = std::fegetround() == FE_UPWARD && std::fetestexcept(FE_OVERFLOW) == 0;
    std::fesetround(FE_TONEAREST);
    return kept;
}

}  // namespace

int main() {
    std::vector<double> results(4);
    std::vector<std::thread> threads;
    for (int id = 0; id < 4; ++id) threads.emplace_back(worker, id, std::ref(results[id]));
    for (auto& t : threads) t.join();
    std::printf("sums: %g %g %g %g\n", results[0], results[1], results[2], results[3]);
    if (results[0] != 1000.0 || results[2] != -125.0) return 1;

    if (!gammaKeepsEnvironment()) return 1;
    std::puts("environment restored");
    return 0;
}
