#include "numeric/polynomials/jacobi.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulJac(tabulComplex&, const tabulComplex&, const tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
