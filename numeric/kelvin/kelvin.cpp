#include "numeric/kelvin/kelvin.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulBer(tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }
void tabulBei(tabulComplex&, const tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
