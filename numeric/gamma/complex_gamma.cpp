#include "numeric/gamma/complex_gamma.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulGamma1(tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
