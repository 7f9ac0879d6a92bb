#pragma once

// The incomplete beta function where one parameter is small and the point
// lies near the end of the interval that parameter belongs to, where the
// continued fractions converge slowly and 1 - I would cancel.

namespace Oru {

// With p the small parameter, q the other and s the point for p (s = x for
// a = p, s = 1 - x for b = p), I_s(p, q) when `complement` is false and
// 1 - I_s(p, q) = I_(1-s)(q, p) when it is true; for s (q + 2) <= p + 1 < 2.
double smallParameterBeta(double p, double q, double s, bool complement);

}  // namespace Oru
