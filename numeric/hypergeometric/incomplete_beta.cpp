#include "numeric/hypergeometric/incomplete_beta.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulIbeta(tabulComplex&, const tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
