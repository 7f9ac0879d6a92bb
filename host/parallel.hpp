#pragma once

// What the vectorization engine needs to split a long vector call across the
// cores: how many threads it may use, whether a call is long enough for the
// split to pay, the calling thread's floating-point environment carried into
// every thread of the split, and the error of the first failing element.

#include <atomic>
#include <cfenv>
#include <chrono>
#include <cstddef>
#include <exception>
#include <mutex>

namespace Oru::Host {

// The threads a long vector call may use: ORU_SPECIAL_THREADS when it holds
// an integer from 1 to kMaxVectorThreads (1 keeps every call in the calling
// thread), otherwise the number of cores. Read once, at the first call.
int vectorThreads();

// Sets the thread count for the calls that follow, from any thread, and
// returns the previous one (the tests compare one thread with several).
int setVectorThreads(int threads);

inline constexpr int kMaxVectorThreads = 256;

// The thread count as ORU_SPECIAL_THREADS text gives it, or 0 when the text
// is absent or not an integer from 1 to kMaxVectorThreads.
int parseThreadCount(const char* text);

// The first elements of a vector call are computed in the calling thread and
// timed; a call splits its remaining elements only when they would take one
// thread longer than kMinimumSplitWork, well above what starting the threads
// and sharing out the elements costs. The measured time per element stands
// for the cost of the function at these arguments (a polynomial's degree, a
// series' length), which no table per function could know.
inline constexpr std::size_t kTimedElements = 16;
inline constexpr std::size_t kMinimumSplitElements = 64;
inline constexpr std::chrono::nanoseconds kMinimumSplitWork{100'000};

// Whether `remaining` elements, after `timed` elements took `elapsed`, are
// worth splitting across the threads.
bool worthSplitting(std::size_t timed, std::chrono::nanoseconds elapsed, std::size_t remaining);

// Elements handed to a thread at a time, from the time the timed elements
// took each: about 50 µs of work, so that handing a share out (one update of
// a counter the threads share, a cache line moved between cores, some 0.1 µs)
// costs nothing, and at least sixteen shares per thread, to balance elements
// of unequal cost.
std::size_t elementsPerShare(std::size_t elements, int threads, std::size_t timed,
                             std::chrono::nanoseconds elapsed);

// The calling thread's floating-point environment (rounding, precision and
// trap controls, and flags), so that every thread of a split computes as the
// calling thread would: a kernel outside the gamma functions' guard computes
// in the caller's rounding mode. Each helper thread adopts it for the split,
// reports the exception flags its elements raised, and gets its own
// environment back; the caller then holds every flag the elements raised, as
// after a call in one thread.
class SharedEnvironment {
public:
    SharedEnvironment();

    // Scope of a thread's part of the split.
    class Adoption {
    public:
        Adoption(const SharedEnvironment& shared, bool callingThread);
        ~Adoption();
        Adoption(const Adoption&) = delete;
        Adoption& operator=(const Adoption&) = delete;

        // The flags this thread's elements left raised.
        int raisedFlags() const;

    private:
        bool m_callingThread;
        std::fenv_t m_own;
    };

    // In the calling thread, after the split: raises what the other threads
    // reported.
    static void raiseInCaller(int flags);

private:
    std::fenv_t m_caller;
};

// The error of the lowest failing element of a split. Every thread records
// its own first failure (a thread takes its elements in increasing order);
// the lowest is kept, and elements above it need not be computed any more.
class FirstFailure {
public:
    explicit FirstFailure(std::size_t count) : m_index(count) {}

    // Whether an element at this index could still be the first failure.
    // Asked before every element: inline, a plain load of a line no thread
    // writes until an element fails.
    bool before(std::size_t index) const { return index < m_index.load(std::memory_order_relaxed); }

    // Records the error being handled for the element at this index.
    void record(std::size_t index, std::exception_ptr error);

    // Throws the recorded error, if any.
    void rethrow() const;

private:
    std::atomic<std::size_t> m_index;  // the count when nothing failed
    std::mutex m_recording;
    std::exception_ptr m_error;
};

}  // namespace Oru::Host
