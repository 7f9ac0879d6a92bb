#include "numeric/gamma/real_gamma.hpp"

#include "oru/utility.hpp"

namespace Oru {

void realLogGamma(double, double&) { Throw("not implemented", 0xFFFFFFFFu); }
double realGamma(double) { Throw("not implemented", 0xFFFFFFFFu); }
void realGamma(double, double&) { Throw("not implemented", 0xFFFFFFFFu); }
double stirlingGamma(double) { Throw("not implemented", 0xFFFFFFFFu); }

}  // namespace Oru
