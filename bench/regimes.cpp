#include "bench/regimes.hpp"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

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

namespace OruBench {

namespace {

using namespace Oru;
using Special = Oru::Special;
using HostArgs = const Tabul::Value* const*;

// ---- calling a kernel with the arguments of a pool entry --------------------

template <auto Kernel, std::size_t... K>
void callWith(tabulComplex& r, const Args& a, std::index_sequence<K...>) {
    Kernel(r, a[K]...);
}

template <auto Kernel, std::size_t Arity>
void kernelCall(tabulComplex& r, const Args& a) {
    callWith<Kernel>(r, a, std::make_index_sequence<Arity>{});
}

// A seed from the names (FNV-1a), so that adding a regime leaves the inputs
// of every other one as they were.
std::uint64_t seedOf(const std::string& function, const std::string& regime) {
    std::uint64_t h = 0xcbf29ce484222325u;
    for (const char ch : function + '/' + regime) {
        h ^= static_cast<unsigned char>(ch);
        h *= 0x100000001b3u;
    }
    return h;
}

template <auto Kernel, std::size_t Arity, class Draw>
Regime regime(std::string function, std::string name, std::string peerKey, Draw draw) {
    const std::uint64_t seed = seedOf(function, name);
    return Regime{std::move(function), std::move(name), std::move(peerKey), &kernelCall<Kernel, Arity>,
                  makePool(seed, kPoolSize, draw)};
}

// ---- the regimes of each family ---------------------------------------------

// Recurrences: the cost is the degree; the point only has to keep the values
// finite.
template <auto Kernel>
void addDegrees(std::vector<Regime>& out, const char* function, std::initializer_list<int> degrees, double lo,
                double hi) {
    for (const int n : degrees)
        out.push_back(
            regime<Kernel, 2>(function, "n = " + std::to_string(n), function, [n, lo, hi](Rng& g, Args& a) {
                a[0] = real(n);
                a[1] = real(g.uniform(lo, hi));
                return true;
            }));
}

void addPolynomials(std::vector<Regime>& out) {
    addDegrees<&tabulTcheb>(out, "Tcheb", {5, 50, 500}, -1.0, 1.0);
    addDegrees<&tabulUcheb>(out, "Ucheb", {5, 50, 500}, -1.0, 1.0);
    addDegrees<&tabulHer>(out, "Her", {5, 50}, -5.0, 5.0);
    addDegrees<&tabulLag>(out, "Lag", {5, 50, 500}, 0.0, 30.0);
    addDegrees<&tabulLeg>(out, "Leg", {5, 50, 500}, -1.0, 1.0);
    for (const int n : {5, 50})
        out.push_back(regime<&tabulJac, 4>("Jac", "n = " + std::to_string(n), "Jac", [n](Rng& g, Args& a) {
            a[0] = real(n);
            a[1] = real(g.uniform(-0.5, 3.0));
            a[2] = real(g.uniform(-0.5, 3.0));
            a[3] = real(g.uniform(-1.0, 1.0));
            return true;
        }));
}

// The power series of ber and bei converges in a few passes for small x and
// needs about a hundred terms near the top of its range (it fails near 77).
template <auto Kernel>
void addKelvin(std::vector<Regime>& out, const char* function) {
    out.push_back(regime<Kernel, 2>(function, "x in 0..5, n = 0..3", "", [](Rng& g, Args& a) {
        a[0] = real(g.integer(0, 3));
        a[1] = real(g.uniform(0.0, 5.0));
        return true;
    }));
    out.push_back(regime<Kernel, 2>(function, "x in 40..70, n = 0..2", "", [](Rng& g, Args& a) {
        a[0] = real(g.integer(0, 2));
        a[1] = real(g.uniform(40.0, 70.0));
        return true;
    }));
}

void addCompleteGamma(std::vector<Regime>& out) {
    const char* f = "Gamma(z)";
    out.push_back(regime<&tabulGamma1, 1>(f, "real, x >= 0.5", "Gamma", [](Rng& g, Args& a) {
        a[0] = real(g.awayFromIntegers(0.5, 30.0, 0.01));
        return true;
    }));
    out.push_back(regime<&tabulGamma1, 1>(f, "real reflection, x < 0.5", "Gamma", [](Rng& g, Args& a) {
        a[0] = real(g.awayFromIntegers(-10.0, 0.5, 0.05));
        return true;
    }));
    out.push_back(regime<&tabulGamma1, 1>(f, "positive integer (factorial)", "Gamma", [](Rng& g, Args& a) {
        a[0] = real(g.integer(1, 30));
        return true;
    }));
    out.push_back(regime<&tabulGamma1, 1>(f, "complex, Re z >= 0.5", "GammaComplex", [](Rng& g, Args& a) {
        a[0] = tabulComplex(g.uniform(0.5, 20.0), g.uniform(-10.0, 10.0));
        return true;
    }));
    out.push_back(
        regime<&tabulGamma1, 1>(f, "complex reflection, Re z < 0.5", "GammaComplex", [](Rng& g, Args& a) {
            a[0] = tabulComplex(g.uniform(-10.0, 0.5), g.uniform(-10.0, 10.0));
            return true;
        }));
}

void addLogGamma(std::vector<Regime>& out) {
    const char* f = "LnGamma";
    out.push_back(regime<&tabulLnGamma, 1>(f, "real, x > 0", "LnGamma", [](Rng& g, Args& a) {
        a[0] = real(g.uniform(0.1, 50.0));
        return true;
    }));
    out.push_back(regime<&tabulLnGamma, 1>(
        f, "near the origin, |z| < 16 (up-shift)", "LnGammaComplex", [](Rng& g, Args& a) {
            a[0] = tabulComplex(g.uniform(0.0, 10.0), g.uniform(0.1, 10.0));
            return true;
        }));
    out.push_back(regime<&tabulLnGamma, 1>(f, "far from the origin, |z| >= 16 (series alone)",
                                           "LnGammaComplex", [](Rng& g, Args& a) {
                                               const double x = g.uniform(0.0, 100.0);
                                               const double y = g.uniform(0.1, 100.0);
                                               a[0] = tabulComplex(x, y);
                                               return x * x + y * y >= 256.0;
                                           }));
    out.push_back(regime<&tabulLnGamma, 1>(
        f, "Re z < 0, |Im z| <= 5.92 (reflection)", "LnGammaComplex", [](Rng& g, Args& a) {
            a[0] = tabulComplex(g.uniform(-10.0, 0.0), g.uniform(0.1, 5.92));
            return true;
        }));
    out.push_back(regime<&tabulLnGamma, 1>(
        f, "Re z < 0, |Im z| > 5.92 (down-shift)", "LnGammaComplex", [](Rng& g, Args& a) {
            a[0] = tabulComplex(g.uniform(-10.0, 0.0), g.uniform(6.0, 12.0));
            return true;
        }));
}

// The incomplete gamma functions sum the power series up to x = max(1, a)
// and switch to the continued fraction beyond it.
template <auto Kernel>
void addIncompleteGamma(std::vector<Regime>& out, const char* function, const char* peerKey,
                        bool integerOrder) {
    auto order = [integerOrder](Rng& g) {
        return integerOrder ? static_cast<double>(g.integer(1, 30)) : g.uniform(0.5, 10.0);
    };
    out.push_back(
        regime<Kernel, 2>(function, "power series, x <= max(1, a)", peerKey, [order](Rng& g, Args& a) {
            const double n = order(g);
            a[0] = real(n);
            a[1] = real(g.uniform(0.0, std::fmax(1.0, n)));
            return true;
        }));
    out.push_back(
        regime<Kernel, 2>(function, "continued fraction, x > max(1, a)", peerKey, [order](Rng& g, Args& a) {
            const double n = order(g);
            const double edge = std::fmax(1.0, n);
            a[0] = real(n);
            a[1] = real(g.uniform(edge, edge + 30.0));
            return a[1].re > edge;
        }));
}

// Distance of v from the nearest integer.
double offInteger(double v) {
    return std::fabs(v - std::nearbyint(v));
}

// Parameters of the Gauss function clear of every integer rule: no
// polynomial, no pole of c, c - a or c - b, no reduction b = c or a = c.
bool drawGaussParameters(Rng& g, Args& a) {
    const double pa = g.awayFromIntegers(0.1, 2.5, 0.05);
    const double pb = g.awayFromIntegers(0.1, 2.5, 0.05);
    const double pc = g.awayFromIntegers(0.5, 4.0, 0.05);
    a[0] = real(pa);
    a[1] = real(pb);
    a[2] = real(pc);
    return offInteger(pc - pa) > 0.02 && offInteger(pc - pb) > 0.02;
}

void addGauss(std::vector<Regime>& out) {
    const char* f = "Fhyper";
    out.push_back(regime<&tabulFhyper, 4>(f, "x < -0.5 (Pfaff)", f, [](Rng& g, Args& a) {
        a[3] = real(g.uniform(-0.95, -0.5));
        return drawGaussParameters(g, a);
    }));
    out.push_back(regime<&tabulFhyper, 4>(f, "-0.5 <= x <= 0.75 (direct series)", f, [](Rng& g, Args& a) {
        a[3] = real(g.uniform(-0.5, 0.75));
        return drawGaussParameters(g, a);
    }));
    out.push_back(
        regime<&tabulFhyper, 4>(f, "x > 0.75, c-a-b not integer (connection)", f, [](Rng& g, Args& a) {
            a[3] = real(g.uniform(0.76, 0.95));
            return drawGaussParameters(g, a) && offInteger(a[2].re - a[0].re - a[1].re) > 0.05;
        }));
    out.push_back(
        regime<&tabulFhyper, 4>(f, "x > 0.75, c-a-b integer (logarithmic case)", f, [](Rng& g, Args& a) {
            const double pa = g.awayFromIntegers(0.1, 2.5, 0.05);
            const double pb = g.awayFromIntegers(0.1, 2.5, 0.05);
            const double pc = pa + pb + g.integer(-1, 2);
            a[0] = real(pa);
            a[1] = real(pb);
            a[2] = real(pc);
            a[3] = real(g.uniform(0.76, 0.95));
            return pc > 0.1 && offInteger(pc) > 0.02;
        }));
    out.push_back(regime<&tabulFhyper, 4>(f, "a = -2..-20 (terminating polynomial)", f, [](Rng& g, Args& a) {
        a[0] = real(-g.integer(2, 20));
        a[1] = real(g.awayFromIntegers(0.1, 2.5, 0.05));
        a[2] = real(g.awayFromIntegers(0.5, 4.0, 0.05));
        a[3] = real(g.uniform(-0.95, 0.95));
        return true;
    }));
}

// The confluent function always sums its power series; where that series
// cancels (large negative x) it also evaluates the asymptotic expansion. The
// pools are sorted by the kernel's own choice: whether the series' error
// estimate is below 1e-6.
bool powerSeriesSuffices(const Args& a) {
    try {
        return confluentPowerSeries(a[0].re, a[1].re, a[2].re).err < 1e-6;
    } catch (const Vesk::Run::AppException&) {
        return false;
    }
}

void addConfluent(std::vector<Regime>& out) {
    const char* f = "Mhyper";
    auto parameters = [](Rng& g, Args& a) {
        const double pa = g.awayFromIntegers(0.2, 2.5, 0.05);
        const double pb = g.awayFromIntegers(pa + 0.3, 4.5, 0.05);
        a[0] = real(pa);
        a[1] = real(pb);
        return offInteger(pb - pa) > 0.05;
    };
    out.push_back(
        regime<&tabulMhyper, 3>(f, "|x| <= 10 (power series accepted)", f, [parameters](Rng& g, Args& a) {
            a[2] = real(g.uniform(-10.0, 10.0));
            return parameters(g, a) && powerSeriesSuffices(a);
        }));
    out.push_back(
        regime<&tabulMhyper, 3>(f, "x in 30..50 (long power series)", f, [parameters](Rng& g, Args& a) {
            a[2] = real(g.uniform(30.0, 50.0));
            return parameters(g, a) && powerSeriesSuffices(a);
        }));
    out.push_back(regime<&tabulMhyper, 3>(f, "x in -55..-30 (series, then asymptotic)", f,
                                          [parameters](Rng& g, Args& a) {
                                              a[2] = real(g.uniform(-55.0, -30.0));
                                              return parameters(g, a) && !powerSeriesSuffices(a);
                                          }));
}

// Which continued fraction the incomplete beta function evaluates for
// (x, a, b): the symmetry first moves x below the mean, then the first
// fraction serves where ((a + b - 2) x) / (a - 1) < 1.
bool usesFirstBetaFraction(double x, double a, double b) {
    const bool swap = a / (a + b) < x;
    const double a1 = swap ? b : a;
    const double b1 = swap ? a : b;
    const double x1 = swap ? 1.0 - x : x;
    return ((b1 + a1 - 2.0) * x1) / (a1 - 1.0) < 1.0;
}

void addIncompleteBeta(std::vector<Regime>& out) {
    for (const bool first : {true, false}) {
        const char* name = first ? "first continued fraction" : "second continued fraction";
        out.push_back(regime<&tabulIbeta, 3>("Ibeta", name, "Ibeta", [first](Rng& g, Args& a) {
            const double x = g.uniform(0.001, 0.999);
            const double pa = g.uniform(1.5, 30.0);
            const double pb = g.uniform(1.5, 30.0);
            a[0] = real(x);
            a[1] = real(pa);
            a[2] = real(pb);
            return usesFirstBetaFraction(x, pa, pb) == first;
        }));
    }
}

// ---- entry cases --------------------------------------------------------------

template <auto Kernel, std::size_t Position, std::size_t... K>
void callAt(tabulComplex& r, const tabulComplex& element, const Args& fixed, std::index_sequence<K...>) {
    Kernel(r, (K == Position ? element : fixed[K])...);
}

// The bare loop an engine cannot beat: read the element, call the kernel,
// store both parts.
template <auto Kernel, std::size_t Arity, std::size_t Position, bool Complex>
void referenceLoop(const VectorInputs& v, const Args& fixed, double* outRe, double* outIm) {
    const std::size_t n = v.re.size();
    for (std::size_t i = 0; i < n; ++i) {
        const tabulComplex element(v.re[i], Complex ? v.im[i] : 0.0);
        tabulComplex r(0.0, 0.0);
        callAt<Kernel, Position>(r, element, fixed, std::make_index_sequence<Arity>{});
        outRe[i] = r.re;
        outIm[i] = r.im;
    }
}

using PointDraw = tabulComplex (*)(Rng&);

VectorInputs drawElements(const std::string& seedName, PointDraw draw) {
    Rng rng(seedOf(seedName, "vector"));
    VectorInputs v;
    v.re.reserve(kVectorLength);
    v.im.reserve(kVectorLength);
    for (std::size_t i = 0; i < kVectorLength; ++i) {
        const tabulComplex z = draw(rng);
        v.re.push_back(z.re);
        v.im.push_back(z.im);
    }
    return v;
}

bool isComplexKind(VectorKind kind) {
    return kind == VectorKind::Complex || kind == VectorKind::TwoComplexVectors;
}

const char* variantName(VectorKind kind) {
    switch (kind) {
        case VectorKind::Real:
            return "real vector";
        case VectorKind::Complex:
            return "complex vector";
        case VectorKind::TwoRealVectors:
            return "two real vectors";
        case VectorKind::TwoComplexVectors:
            return "two complex vectors";
    }
    return "";
}

template <auto Kernel, std::size_t Arity, std::size_t Position>
EntryCase entry(const char* function, VectorKind kind, Args fixed, EntryCall call, PointDraw draw) {
    ReferenceLoop loop = isComplexKind(kind) ? &referenceLoop<Kernel, Arity, Position, true>
                                             : &referenceLoop<Kernel, Arity, Position, false>;
    return EntryCase{function,
                     variantName(kind),
                     kind,
                     Arity,
                     Position,
                     fixed,
                     call,
                     loop,
                     drawElements(std::string(function) + variantName(kind), draw)};
}

// A two-argument function of a fixed order or degree and a vector of points,
// real and complex (imaginary parts 0, which the real-only kernels accept).
template <auto Kernel>
void addPointVector(std::vector<EntryCase>& out, const char* function, double order, EntryCall call,
                    PointDraw draw) {
    const Args fixed{real(order), real(0.0), real(0.0), real(0.0)};
    for (const VectorKind kind : {VectorKind::Real, VectorKind::Complex})
        out.push_back(entry<Kernel, 2, 1>(function, kind, fixed, call, draw));
}

tabulComplex unitInterval(Rng& g) {
    return real(g.uniform(-1.0, 1.0));
}

std::vector<EntryCase> buildEntryCases() {
    std::vector<EntryCase> out;
    const EntryCall tcheb = [](HostArgs a) { return Special::Tcheb(a[0], a[1]); };
    addPointVector<&tabulTcheb>(out, "Tcheb", 5.0, tcheb, unitInterval);
    for (const VectorKind kind : {VectorKind::TwoRealVectors, VectorKind::TwoComplexVectors})
        out.push_back(entry<&tabulTcheb, 2, 1>("Tcheb", kind, {real(5.0), real(0.0), real(0.0), real(0.0)},
                                               tcheb, unitInterval));
    // The resolution of the comparison: the bare loop timed against itself.
    EntryCase calibration = entry<&tabulTcheb, 2, 1>(
        "Tcheb", VectorKind::Real, {real(5.0), real(0.0), real(0.0), real(0.0)}, nullptr, unitInterval);
    calibration.variant = "bare loop against itself";
    out.push_back(std::move(calibration));
    addPointVector<&tabulUcheb>(
        out, "Ucheb", 5.0, [](HostArgs a) { return Special::Ucheb(a[0], a[1]); }, unitInterval);
    addPointVector<&tabulHer>(
        out, "Her", 5.0, [](HostArgs a) { return Special::Her(a[0], a[1]); },
        [](Rng& g) { return real(g.uniform(-5.0, 5.0)); });
    addPointVector<&tabulLag>(
        out, "Lag", 5.0, [](HostArgs a) { return Special::Lag(a[0], a[1]); },
        [](Rng& g) { return real(g.uniform(0.0, 30.0)); });
    addPointVector<&tabulLeg>(
        out, "Leg", 5.0, [](HostArgs a) { return Special::Leg(a[0], a[1]); }, unitInterval);
    const PointDraw smallKelvin = [](Rng& g) { return real(g.uniform(0.0, 5.0)); };
    addPointVector<&tabulBer>(
        out, "Ber", 1.0, [](HostArgs a) { return Special::Ber(a[0], a[1]); }, smallKelvin);
    addPointVector<&tabulBei>(
        out, "Bei", 1.0, [](HostArgs a) { return Special::Bei(a[0], a[1]); }, smallKelvin);
    const PointDraw upToTen = [](Rng& g) { return real(g.uniform(0.0, 10.0)); };
    addPointVector<&tabulIgamma>(
        out, "Igamma", 3.0, [](HostArgs a) { return Special::Igamma(a[0], a[1]); }, upToTen);
    addPointVector<&tabulGamma2>(
        out, "Gamma(a,x)", 2.5, [](HostArgs a) { return Special::Gamma(a[0], a[1]); }, upToTen);

    const Args none{real(0.0), real(0.0), real(0.0), real(0.0)};
    const EntryCall gamma = [](HostArgs a) { return Special::Gamma(a[0], nullptr); };
    out.push_back(entry<&tabulGamma1, 1, 0>("Gamma(z)", VectorKind::Real, none, gamma, [](Rng& g) {
        return real(g.awayFromIntegers(0.5, 30.0, 0.01));
    }));
    out.push_back(entry<&tabulGamma1, 1, 0>("Gamma(z)", VectorKind::Complex, none, gamma, [](Rng& g) {
        return tabulComplex(g.uniform(0.5, 20.0), g.uniform(-10.0, 10.0));
    }));
    const EntryCall lnGamma = [](HostArgs a) { return Special::LnGamma(a[0]); };
    out.push_back(entry<&tabulLnGamma, 1, 0>("LnGamma", VectorKind::Real, none, lnGamma,
                                             [](Rng& g) { return real(g.uniform(0.1, 50.0)); }));
    out.push_back(entry<&tabulLnGamma, 1, 0>("LnGamma", VectorKind::Complex, none, lnGamma, [](Rng& g) {
        return tabulComplex(g.uniform(0.0, 10.0), g.uniform(0.1, 10.0));
    }));

    for (const VectorKind kind : {VectorKind::Real, VectorKind::Complex}) {
        out.push_back(entry<&tabulFhyper, 4, 3>(
            "Fhyper", kind, {real(0.3), real(1.7), real(2.9), real(0.0)},
            [](HostArgs a) { return Special::Fhyper(a[0], a[1], a[2], a[3]); },
            [](Rng& g) { return real(g.uniform(-0.5, 0.75)); }));
        out.push_back(entry<&tabulJac, 4, 3>(
            "Jac", kind, {real(5.0), real(0.5), real(1.5), real(0.0)},
            [](HostArgs a) { return Special::Jac(a[0], a[1], a[2], a[3]); }, unitInterval));
        out.push_back(entry<&tabulMhyper, 3, 2>(
            "Mhyper", kind, {real(0.7), real(1.9), real(0.0), real(0.0)},
            [](HostArgs a) { return Special::Mhyper(a[0], a[1], a[2]); },
            [](Rng& g) { return real(g.uniform(-10.0, 10.0)); }));
        out.push_back(entry<&tabulIbeta, 3, 0>(
            "Ibeta", kind, {real(0.0), real(2.5), real(3.5), real(0.0)},
            [](HostArgs a) { return Special::Ibeta(a[0], a[1], a[2]); },
            [](Rng& g) { return real(g.uniform(0.001, 0.999)); }));
    }
    return out;
}

std::vector<Regime> buildKernelRegimes() {
    std::vector<Regime> out;
    addPolynomials(out);
    addKelvin<&tabulBer>(out, "Ber");
    addKelvin<&tabulBei>(out, "Bei");
    addCompleteGamma(out);
    addLogGamma(out);
    addIncompleteGamma<&tabulGamma2>(out, "Gamma(a,x)", "GammaUpper", false);
    addIncompleteGamma<&tabulIgamma>(out, "Igamma", "Igamma", true);
    addGauss(out);
    addConfluent(out);
    addIncompleteBeta(out);
    return out;
}

}  // namespace

const std::vector<Regime>& kernelRegimes() {
    static const std::vector<Regime> regimes = buildKernelRegimes();
    return regimes;
}

const std::vector<EntryCase>& entryCases() {
    static const std::vector<EntryCase> cases = buildEntryCases();
    return cases;
}

}  // namespace OruBench
