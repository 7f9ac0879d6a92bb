#include "numeric/hypergeometric/gauss.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulFhyper(tabulComplex&, const tabulComplex&, const tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
