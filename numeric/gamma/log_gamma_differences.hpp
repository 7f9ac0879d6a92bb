#pragma once

// Pieces of ln Gamma that the incomplete gamma and beta kernels need without
// the cancellation of ln Gamma values rounded one by one: the Taylor series of
// 1/Gamma(1 + p), the remainder of Stirling's series, and differences
// ln Gamma(q + p) - ln Gamma(q). All in extended precision.

namespace Oru {

// t(p) with 1/Gamma(1 + p) = 1 + p t(p), for |p| <= 1.
long double reciprocalGammaSlope(long double p);

// ln Gamma(1 + p) for |p| <= 1, accurate relative to its own size near p = 0.
long double logGammaOnePlus(long double p);

// w(z) = ln Gamma(z) - [(z - 1/2) ln z - z + ln(2 pi)/2], for z >= 10 (to
// 3e-17 absolute; from z = 20 on to the extended precision).
long double stirlingRemainder(long double z);

// t - ln(1 + t) for t > -1, accurate relative to its own size near t = 0.
long double linearMinusLog1p(long double t);

// ln Gamma(q + p) - ln Gamma(q) for q > 0 and p >= 0, accurate relative to
// its own size even where p is tiny against q.
long double logGammaDifference(double q, double p);

}  // namespace Oru
