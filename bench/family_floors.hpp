#pragma once

// The floors of the gamma, hypergeometric and Kelvin kernels, one file per
// family, for the regimes whose value comes from the method of release 1.0.0
// (no floor where the careful or extended evaluation answers).

#include <span>
#include <string>

#include "bench/regimes.hpp"

namespace OruBench {

struct FloorEntry {
    const char* function;
    const char* regime;
    KernelCall floor;
    // The regime's pool also holds inputs on which the kernel corrects the
    // 1.0.0 method's value; the floor is timed on the part without them
    // (keptPartOf), a regime of its own.
    bool onKeptPart = false;
};

std::span<const FloorEntry> gammaFamilyFloors();
std::span<const FloorEntry> hypergeometricFloors();
std::span<const FloorEntry> kelvinFloors();

// The checked floor of a regime of these families, or null.
KernelCall familyFloor(const std::string& function, const std::string& regime);

// The part of each mixed regime's pool on which the kernel keeps the
// 1.0.0 method's value, as regimes of their own.
std::vector<Regime> keptParts(const std::vector<Regime>& regimes);

}  // namespace OruBench
