#pragma once

// The floors of the kernels whose cost is a fixed sequence of operations:
// that sequence alone, timed on the kernel's pool beside the kernel.

#include <string>

#include "bench/regimes.hpp"

namespace OruBench {

// The floor of the kernel in this regime, or null where none is written.
KernelCall floorOf(const std::string& function, const std::string& regime);

}  // namespace OruBench
