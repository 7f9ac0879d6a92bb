// GSL as a timing peer. Its error handler is switched off, so a failing
// routine returns its status and a NaN or limiting value instead of
// aborting the run.

#include "bench/peers.hpp"

#ifdef ORU_BENCH_WITH_GSL

#include <gsl/gsl_errno.h>
#include <gsl/gsl_sf_gamma.h>
#include <gsl/gsl_sf_hermite.h>
#include <gsl/gsl_sf_hyperg.h>
#include <gsl/gsl_sf_laguerre.h>
#include <gsl/gsl_sf_legendre.h>
#include <gsl/gsl_version.h>

#include <cmath>

namespace OruBench {

namespace {

int degree(const Args& a) {
    return static_cast<int>(a[0].re);
}

// ln Gamma(z) of a complex z: GSL returns ln|Gamma(z)| and the phase reduced
// to (-pi, pi], the same function up to a multiple of 2 pi i.
tabulComplex lnGammaComplex(const Args& a) {
    gsl_sf_result lnr;
    gsl_sf_result arg;
    gsl_sf_lngamma_complex_e(a[0].re, a[0].im, &lnr, &arg);
    return tabulComplex(lnr.val, arg.val);
}

// GSL has no complex Gamma of its own; a user forms exp(ln Gamma(z)).
tabulComplex gammaComplex(const Args& a) {
    const tabulComplex l = lnGammaComplex(a);
    const double m = std::exp(l.re);
    return tabulComplex(m * std::cos(l.im), m * std::sin(l.im));
}

}  // namespace

PeerLibrary gslLibrary() {
    gsl_set_error_handler_off();
    PeerLibrary lib{"gsl", GSL_VERSION, {}};
    lib.peers = {
        // Physicists' Hermite polynomials; simple Laguerre L_n = L_n^(0).
        {"Her", [](const Args& a) { return real(gsl_sf_hermite(degree(a), a[1].re)); }},
        {"Lag", [](const Args& a) { return real(gsl_sf_laguerre_n(degree(a), 0.0, a[1].re)); }},
        {"Leg", [](const Args& a) { return real(gsl_sf_legendre_Pl(degree(a), a[1].re)); }},
        {"Gamma", [](const Args& a) { return real(gsl_sf_gamma(a[0].re)); }},
        {"GammaComplex", gammaComplex},
        {"LnGamma", [](const Args& a) { return real(gsl_sf_lngamma(a[0].re)); }},
        {"LnGammaComplex", lnGammaComplex},
        // Upper incomplete gamma, not regularized; regularized lower.
        {"GammaUpper", [](const Args& a) { return real(gsl_sf_gamma_inc(a[0].re, a[1].re)); }},
        {"Igamma", [](const Args& a) { return real(gsl_sf_gamma_inc_P(a[0].re, a[1].re)); }},
        {"Fhyper", [](const Args& a) { return real(gsl_sf_hyperg_2F1(a[0].re, a[1].re, a[2].re, a[3].re)); }},
        {"Mhyper", [](const Args& a) { return real(gsl_sf_hyperg_1F1(a[0].re, a[1].re, a[2].re)); }},
        // Regularized incomplete beta I_x(a, b); host order is (x, a, b).
        {"Ibeta", [](const Args& a) { return real(gsl_sf_beta_inc(a[1].re, a[2].re, a[0].re)); }},
    };
    return lib;
}

}  // namespace OruBench

#else

namespace OruBench {
PeerLibrary gslLibrary() {
    return PeerLibrary{"gsl", "", {}};
}
}  // namespace OruBench

#endif
