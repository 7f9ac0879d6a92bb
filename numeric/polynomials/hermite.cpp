#include "numeric/polynomials/hermite.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulHer(tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
