#include "numeric/hypergeometric/confluent.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulMhyper(tabulComplex&, const tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
