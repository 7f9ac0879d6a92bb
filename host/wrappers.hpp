#pragma once

// Scalar adapters: Wrap<&kernel> for each kernel. opCplx converts host scalars
// into tabulComplex values, starts the result at 0 + 0i, calls the kernel
// with the arguments in the host's order and copies the result back
// unchanged (-0.0 stays -0.0, a NaN stays a NaN). `kernel` is the same call
// on native values, which the vectorization engine uses directly.

#include "numeric/core/complex.hpp"
#include "numeric/gamma/complex_gamma.hpp"
#include "numeric/gamma/incomplete_gamma.hpp"
#include "numeric/gamma/log_gamma.hpp"
#include "numeric/hypergeometric/confluent.hpp"
#include "numeric/hypergeometric/gauss.hpp"
#include "numeric/hypergeometric/incomplete_beta.hpp"
#include "numeric/kelvin/kelvin.hpp"
#include "numeric/polynomials/chebyshev.hpp"
#include "numeric/polynomials/hermite.hpp"
#include "numeric/polynomials/jacobi.hpp"
#include "numeric/polynomials/laguerre.hpp"
#include "numeric/polynomials/legendre.hpp"
#include "tabul/values.hpp"

namespace Oru::Host {

inline tabulComplex toComplex(const Tabul::num_val& v) {
    return tabulComplex(v.rp, v.ip);
}

template <auto Kernel>
struct Wrap {
    template <class... Args>
    static void kernel(tabulComplex& r, const Args&... args) {
        Kernel(r, args...);
    }

    template <class... Args>
    static void opCplx(Tabul::num_val& res, const Args&... args) {
        tabulComplex r(0.0, 0.0);
        Kernel(r, toComplex(args)...);
        res.rp = r.re;
        res.ip = r.im;
    }
};

}  // namespace Oru::Host
