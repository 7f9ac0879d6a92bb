#pragma once

// The named constants the library publishes. Their stored bit patterns are
// part of the interface (see the unit tests).

#include "oru/export.hpp"

namespace Oru {

ORU_SPECIAL_API extern const double INT_TOL;           // 1e-10
ORU_SPECIAL_API extern const double MAX_REAL;          // 1e307
ORU_SPECIAL_API extern const double PI;                // pi
ORU_SPECIAL_API extern const double TABUL_RAND_MAX;    // 2^31 - 1
ORU_SPECIAL_API extern const double TABUL_RAND_LIMIT;  // TABUL_RAND_MAX + 1

}  // namespace Oru
