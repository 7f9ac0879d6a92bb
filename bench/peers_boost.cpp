// Boost.Math as a timing peer. Its default error policy is set to return a
// NaN (or the limiting value) instead of throwing, through the library's
// documented configuration macros, so that no call of a run can end in an
// exception; every routine below uses that default policy.

#include "bench/peers.hpp"

#ifdef ORU_BENCH_WITH_BOOST

#define BOOST_MATH_DOMAIN_ERROR_POLICY ignore_error
#define BOOST_MATH_POLE_ERROR_POLICY ignore_error
#define BOOST_MATH_OVERFLOW_ERROR_POLICY ignore_error
#define BOOST_MATH_EVALUATION_ERROR_POLICY ignore_error
#define BOOST_MATH_ROUNDING_ERROR_POLICY ignore_error

#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/chebyshev.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/hermite.hpp>
#include <boost/math/special_functions/hypergeometric_1F1.hpp>
#include <boost/math/special_functions/hypergeometric_pFq.hpp>
#include <boost/math/special_functions/jacobi.hpp>
#include <boost/math/special_functions/laguerre.hpp>
#include <boost/math/special_functions/legendre.hpp>
#include <boost/version.hpp>

namespace OruBench {

namespace {

namespace bm = boost::math;

unsigned degree(const Args& a) {
    return static_cast<unsigned>(a[0].re);
}

}  // namespace

PeerLibrary boostLibrary() {
    PeerLibrary lib{"boost", BOOST_LIB_VERSION, {}};
    lib.peers = {
        {"Tcheb", [](const Args& a) { return real(bm::chebyshev_t(degree(a), a[1].re)); }},
        {"Ucheb", [](const Args& a) { return real(bm::chebyshev_u(degree(a), a[1].re)); }},
        // Physicists' Hermite polynomials, simple Laguerre polynomials L_n.
        {"Her", [](const Args& a) { return real(bm::hermite(degree(a), a[1].re)); }},
        {"Lag", [](const Args& a) { return real(bm::laguerre(degree(a), a[1].re)); }},
        {"Leg", [](const Args& a) { return real(bm::legendre_p(static_cast<int>(degree(a)), a[1].re)); }},
        {"Jac", [](const Args& a) { return real(bm::jacobi(degree(a), a[1].re, a[2].re, a[3].re)); }},
        {"Gamma", [](const Args& a) { return real(bm::tgamma(a[0].re)); }},
        {"LnGamma", [](const Args& a) { return real(bm::lgamma(a[0].re)); }},
        // Upper incomplete gamma, not regularized; regularized lower.
        {"GammaUpper", [](const Args& a) { return real(bm::tgamma(a[0].re, a[1].re)); }},
        {"Igamma", [](const Args& a) { return real(bm::gamma_p(a[0].re, a[1].re)); }},
        // Boost has no dedicated 2F1: its generic pFq series is what a user
        // of the library would call.
        {"Fhyper",
         [](const Args& a) {
             return real(bm::hypergeometric_pFq({a[0].re, a[1].re}, {a[2].re}, a[3].re));
         }},
        {"Mhyper", [](const Args& a) { return real(bm::hypergeometric_1F1(a[0].re, a[1].re, a[2].re)); }},
        // Regularized incomplete beta I_x(a, b); host order is (x, a, b).
        {"Ibeta", [](const Args& a) { return real(bm::ibeta(a[1].re, a[2].re, a[0].re)); }},
    };
    return lib;
}

}  // namespace OruBench

#else

namespace OruBench {
PeerLibrary boostLibrary() {
    return PeerLibrary{"boost", "", {}};
}
}  // namespace OruBench

#endif
