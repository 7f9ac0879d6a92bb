#include "numeric/polynomials/laguerre.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulLag(tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
