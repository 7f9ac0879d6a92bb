#include "numeric/core/constants.hpp"

#include "oru/constants.hpp"

namespace Oru {

const double INT_TOL = 1e-10;
const double MAX_REAL = 1e307;
const double PI = kPi;
const double TABUL_RAND_MAX = 2147483647.0;
const double TABUL_RAND_LIMIT = TABUL_RAND_MAX + 1;

}  // namespace Oru
