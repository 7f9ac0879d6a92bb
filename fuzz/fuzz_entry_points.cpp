// Fuzz target: any bytes become one call of one of the fourteen entry points
// (call_decoder.hpp); the call must keep every promise of checked_call.hpp.
// A broken promise prints what went wrong and aborts, which libFuzzer
// records as a crash with the input that caused it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/checked_call.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<OruFuzz::DecodedCall> call = OruFuzz::decodeCall(data, size);
    if (!call) return 0;
    // ORU_FUZZ_DESCRIBE=1 prints each call before it is made.
    static const bool describe = std::getenv("ORU_FUZZ_DESCRIBE") != nullptr;
    if (describe) std::fprintf(stderr, "%s\n", OruFuzz::describeCall(*call).c_str());
    const std::string problem = OruFuzz::runChecked(*call);
    if (!problem.empty()) {
        std::fprintf(stderr, "broken promise: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
