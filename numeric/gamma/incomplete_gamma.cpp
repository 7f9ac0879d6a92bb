#include "numeric/gamma/incomplete_gamma.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulIgamma(tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }
void tabulGamma2(tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
