#pragma once

// The benchmark program replaces the global operator new so that it can
// state how many allocations a host call makes.

#include <cstddef>

namespace OruBench {

// Allocations made through operator new since the program started.
std::size_t allocationsSoFar();

}  // namespace OruBench
