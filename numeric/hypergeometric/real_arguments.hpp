#pragma once

// The first check of every kernel of this family: each argument, in host
// order, must be real.

#include <initializer_list>

#include "numeric/core/complex.hpp"
#include "oru/utility.hpp"

namespace Oru {

// Raises "must be real" with the 1-based position of the first argument
// whose imaginary part is not 0.0 (a NaN counts as not 0.0).
inline void requireRealArguments(std::initializer_list<const tabulComplex*> arguments) {
    unsigned position = 1;
    for (const tabulComplex* argument : arguments) {
        if (!argument->isReal()) Throw("must be real", position);
        ++position;
    }
}

}  // namespace Oru
