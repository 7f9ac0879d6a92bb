#include "numeric/polynomials/legendre.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulLeg(tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
