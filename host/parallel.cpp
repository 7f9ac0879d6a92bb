#include "host/parallel.hpp"

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>

namespace Oru::Host {

int parseThreadCount(const char* text) {
    if (text == nullptr || *text == '\0') return 0;
    int count = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return 0;
        count = count * 10 + (*c - '0');
        if (count > kMaxVectorThreads) return 0;
    }
    return count;
}

namespace {

std::atomic<int>& threadSetting() {
    static std::atomic<int> threads = [] {
        const int chosen = parseThreadCount(std::getenv("ORU_SPECIAL_THREADS"));
        return chosen > 0 ? chosen : omp_get_num_procs();
    }();
    return threads;
}

}  // namespace

int vectorThreads() {
    return threadSetting().load(std::memory_order_relaxed);
}

int setVectorThreads(int threads) {
    return threadSetting().exchange(std::clamp(threads, 1, kMaxVectorThreads), std::memory_order_relaxed);
}

bool worthSplitting(std::size_t timed, std::chrono::nanoseconds elapsed, std::size_t remaining) {
    if (timed == 0) return false;
    // remaining * elapsed / timed >= kMinimumSplitWork, in integers (the
    // engine raises no floating-point flag of its own) and without overflow:
    // remaining >= ceil(timed * kMinimumSplitWork / elapsed), where timed is
    // a few elements.
    const std::int64_t ns = elapsed.count();
    if (ns <= 0) return false;
    const std::int64_t needed = static_cast<std::int64_t>(timed) * kMinimumSplitWork.count();
    return static_cast<std::int64_t>(remaining) >= (needed + ns - 1) / ns;
}

std::size_t elementsPerShare(std::size_t elements, int threads, std::size_t timed,
                             std::chrono::nanoseconds elapsed) {
    // In integers: the engine raises no floating-point flag of its own.
    constexpr std::int64_t kShareNs = 50'000;
    const std::size_t balanced = elements / (16 * static_cast<std::size_t>(threads > 0 ? threads : 1));
    const std::int64_t ns = elapsed.count();
    // timed is a few elements, so the product cannot overflow.
    const std::size_t byTime =
        ns > 0 ? static_cast<std::size_t>(kShareNs * static_cast<std::int64_t>(timed) / ns) : balanced;
    return std::max<std::size_t>(std::min(byTime, balanced), 1);
}

SharedEnvironment::SharedEnvironment() {
    std::fegetenv(&m_caller);
}

SharedEnvironment::Adoption::Adoption(const SharedEnvironment& shared, bool callingThread)
    : m_callingThread(callingThread) {
    if (m_callingThread) return;
    std::fegetenv(&m_own);
    std::fesetenv(&shared.m_caller);
}

SharedEnvironment::Adoption::~Adoption() {
    if (!m_callingThread) std::fesetenv(&m_own);
}

int SharedEnvironment::Adoption::raisedFlags() const {
    return m_callingThread ? 0 : std::fetestexcept(FE_ALL_EXCEPT);
}

void SharedEnvironment::raiseInCaller(int flags) {
    // Only flags the caller lacks: raising sets a flag, and with its trap
    // masked (an element raising it did not trap) does nothing more.
    const int missing = flags & ~std::fetestexcept(FE_ALL_EXCEPT);
    if (missing != 0) std::feraiseexcept(missing);
}

void FirstFailure::record(std::size_t index, std::exception_ptr error) {
    const std::lock_guard<std::mutex> lock(m_recording);
    if (index >= m_index.load(std::memory_order_relaxed)) return;
    m_index.store(index, std::memory_order_relaxed);
    m_error = std::move(error);
}

void FirstFailure::rethrow() const {
    if (m_error) std::rethrow_exception(m_error);
}

}  // namespace Oru::Host
