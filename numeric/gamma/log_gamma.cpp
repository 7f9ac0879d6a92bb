#include "numeric/gamma/log_gamma.hpp"

#include "oru/utility.hpp"

namespace Oru {

void tabulLnGamma(tabulComplex&, const tabulComplex&) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
