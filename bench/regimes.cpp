#include "bench/regimes.hpp"

#include "bench/family_floors.hpp"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "host/functions.hpp"
#include "numeric/hypergeometric/confluent.hpp"

namespace OruBench {

namespace {

using namespace Oru;
using Host::FunctionForm;
using Host::kFunctionForms;

// The name of a function form in the benchmarks: the host function, or its
// form without spaces where it has several ("Gamma(a,x)").
std::string labelOf(const FunctionForm& form) {
    if (!Host::hasSeveralForms(form.name)) return std::string(form.name);
    std::string label;
    for (const char c : form.signature)
        if (c != ' ') label += c;
    return label;
}

// The row of a form in the table, by its reference file name.
constexpr std::size_t rowOf(std::string_view file) {
    return static_cast<std::size_t>(&Host::formOf(file) - kFunctionForms.data());
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

template <class Draw>
Regime regime(std::string_view file, std::string name, std::string peerKey, Draw draw) {
    const FunctionForm& form = Host::formOf(file);
    std::string function = labelOf(form);
    const std::uint64_t seed = seedOf(function, name);
    return Regime{std::move(function), std::move(name), std::move(peerKey), form.kernel,
                  makePool(seed, kPoolSize, draw)};
}

// ---- the regimes of each family ---------------------------------------------

// Recurrences: the cost is the degree; the point only has to keep the values
// finite.
void addDegrees(std::vector<Regime>& out, const char* file, const char* peerKey,
                std::initializer_list<int> degrees, double lo, double hi) {
    for (const int n : degrees)
        out.push_back(regime(file, "n = " + std::to_string(n), peerKey, [n, lo, hi](Rng& g, Args& a) {
            a[0] = real(n);
            a[1] = real(g.uniform(lo, hi));
            return true;
        }));
}

void addPolynomials(std::vector<Regime>& out) {
    addDegrees(out, "tcheb", "Tcheb", {5, 50, 500}, -1.0, 1.0);
    addDegrees(out, "ucheb", "Ucheb", {5, 50, 500}, -1.0, 1.0);
    addDegrees(out, "her", "Her", {5, 50}, -5.0, 5.0);
    addDegrees(out, "lag", "Lag", {5, 50, 500}, 0.0, 30.0);
    addDegrees(out, "leg", "Leg", {5, 50, 500}, -1.0, 1.0);
    for (const int n : {5, 50})
        out.push_back(regime("jac", "n = " + std::to_string(n), "Jac", [n](Rng& g, Args& a) {
            a[0] = real(n);
            a[1] = real(g.uniform(-0.5, 3.0));
            a[2] = real(g.uniform(-0.5, 3.0));
            a[3] = real(g.uniform(-1.0, 1.0));
            return true;
        }));
}

// The power series of ber and bei converges in a few passes for small x and is
// kept there; from x = 36 + 0.4 n on the asymptotic expansion answers alone,
// and high orders at large x take the downward recurrence in the order.
void addKelvin(std::vector<Regime>& out, const char* file) {
    struct Range {
        const char* name;
        int lowestOrder, highestOrder;
        double lowestX, highestX;
    };
    for (const Range r :
         {Range{"x in 0..5, n = 0..3", 0, 3, 0.0, 5.0}, Range{"x in 40..70, n = 0..2", 0, 2, 40.0, 70.0},
          Range{"x in 80..1000, n = 0..10", 0, 10, 80.0, 1000.0},
          Range{"x in 100..300, n = 100..1000", 100, 1000, 100.0, 300.0}})
        out.push_back(regime(file, r.name, "", [r](Rng& g, Args& a) {
            a[0] = real(g.integer(r.lowestOrder, r.highestOrder));
            a[1] = real(g.uniform(r.lowestX, r.highestX));
            return true;
        }));
}

void addCompleteGamma(std::vector<Regime>& out) {
    out.push_back(regime("gamma", "real, x >= 0.5", "Gamma", [](Rng& g, Args& a) {
        a[0] = real(g.awayFromIntegers(0.5, 30.0, 0.01));
        return true;
    }));
    out.push_back(regime("gamma", "real reflection, x < 0.5", "Gamma", [](Rng& g, Args& a) {
        a[0] = real(g.awayFromIntegers(-10.0, 0.5, 0.05));
        return true;
    }));
    out.push_back(regime("gamma", "positive integer (factorial)", "Gamma", [](Rng& g, Args& a) {
        a[0] = real(g.integer(1, 30));
        return true;
    }));
    out.push_back(regime("gamma", "complex, Re z >= 0.5", "GammaComplex", [](Rng& g, Args& a) {
        a[0] = tabulComplex(g.uniform(0.5, 20.0), g.uniform(-10.0, 10.0));
        return true;
    }));
    out.push_back(regime("gamma", "complex reflection, Re z < 0.5", "GammaComplex", [](Rng& g, Args& a) {
        a[0] = tabulComplex(g.uniform(-10.0, 0.5), g.uniform(-10.0, 10.0));
        return true;
    }));
}

void addLogGamma(std::vector<Regime>& out) {
    out.push_back(regime("lngamma", "real, x > 0", "LnGamma", [](Rng& g, Args& a) {
        a[0] = real(g.uniform(0.1, 50.0));
        return true;
    }));
    out.push_back(
        regime("lngamma", "near the origin, |z| < 16 (up-shift)", "LnGammaComplex", [](Rng& g, Args& a) {
            a[0] = tabulComplex(g.uniform(0.0, 10.0), g.uniform(0.1, 10.0));
            return true;
        }));
    out.push_back(regime("lngamma", "far from the origin, |z| >= 16 (series alone)", "LnGammaComplex",
                         [](Rng& g, Args& a) {
                             const double x = g.uniform(0.0, 100.0);
                             const double y = g.uniform(0.1, 100.0);
                             a[0] = tabulComplex(x, y);
                             return x * x + y * y >= 256.0;
                         }));
    out.push_back(
        regime("lngamma", "Re z < 0, |Im z| <= 5.92 (reflection)", "LnGammaComplex", [](Rng& g, Args& a) {
            a[0] = tabulComplex(g.uniform(-10.0, 0.0), g.uniform(0.1, 5.92));
            return true;
        }));
    out.push_back(
        regime("lngamma", "Re z < 0, |Im z| > 5.92 (down-shift)", "LnGammaComplex", [](Rng& g, Args& a) {
            a[0] = tabulComplex(g.uniform(-10.0, 0.0), g.uniform(6.0, 12.0));
            return true;
        }));
}

// The incomplete gamma functions sum the power series up to x = max(1, a)
// and switch to the continued fraction beyond it.
void addIncompleteGamma(std::vector<Regime>& out, const char* file, const char* peerKey, bool integerOrder) {
    auto order = [integerOrder](Rng& g) {
        return integerOrder ? static_cast<double>(g.integer(1, 30)) : g.uniform(0.5, 10.0);
    };
    out.push_back(regime(file, "power series, x <= max(1, a)", peerKey, [order](Rng& g, Args& a) {
        const double n = order(g);
        a[0] = real(n);
        a[1] = real(g.uniform(0.0, std::fmax(1.0, n)));
        return true;
    }));
    out.push_back(regime(file, "continued fraction, x > max(1, a)", peerKey, [order](Rng& g, Args& a) {
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
    out.push_back(regime("fhyper", "x < -0.5 (Pfaff)", f, [](Rng& g, Args& a) {
        a[3] = real(g.uniform(-0.95, -0.5));
        return drawGaussParameters(g, a);
    }));
    out.push_back(regime("fhyper", "-0.5 <= x <= 0.75 (direct series)", f, [](Rng& g, Args& a) {
        a[3] = real(g.uniform(-0.5, 0.75));
        return drawGaussParameters(g, a);
    }));
    out.push_back(regime("fhyper", "x > 0.75, c-a-b not integer (connection)", f, [](Rng& g, Args& a) {
        a[3] = real(g.uniform(0.76, 0.95));
        return drawGaussParameters(g, a) && offInteger(a[2].re - a[0].re - a[1].re) > 0.05;
    }));
    out.push_back(regime("fhyper", "x > 0.75, c-a-b integer (logarithmic case)", f, [](Rng& g, Args& a) {
        const double pa = g.awayFromIntegers(0.1, 2.5, 0.05);
        const double pb = g.awayFromIntegers(0.1, 2.5, 0.05);
        const double pc = pa + pb + g.integer(-1, 2);
        a[0] = real(pa);
        a[1] = real(pb);
        a[2] = real(pc);
        a[3] = real(g.uniform(0.76, 0.95));
        return pc > 0.1 && offInteger(pc) > 0.02;
    }));
    out.push_back(regime("fhyper", "a = -2..-20 (terminating polynomial)", f, [](Rng& g, Args& a) {
        a[0] = real(-g.integer(2, 20));
        a[1] = real(g.awayFromIntegers(0.1, 2.5, 0.05));
        a[2] = real(g.awayFromIntegers(0.5, 4.0, 0.05));
        a[3] = real(g.uniform(-0.95, 0.95));
        return true;
    }));
    // Where the plain evaluation cannot vouch for its value, the careful one
    // answers: double-double series at x/(x - 1) ...
    out.push_back(regime(
        "fhyper", "x < -0.5, a, b in 10..25, c in -10..0 (careful, Pfaff forms)", f, [](Rng& g, Args& a) {
            a[0] = real(g.awayFromIntegers(10.0, 25.0, 0.05));
            a[1] = real(g.awayFromIntegers(10.0, 25.0, 0.05));
            a[2] = real(g.awayFromIntegers(-10.0, 0.0, 0.05));
            a[3] = real(g.uniform(-0.95, -0.5));
            return offInteger(a[2].re - a[0].re) > 0.02 && offInteger(a[2].re - a[1].re) > 0.02;
        }));
    // ... the connection to 1 - x without its poles, c - a - b near an integer ...
    out.push_back(regime("fhyper", "x > 0.75, c-a-b 1e-9..1e-4 from an integer (careful, limit form)", f,
                         [](Rng& g, Args& a) {
                             const double pa = g.awayFromIntegers(0.1, 10.0, 0.05);
                             const double pb = g.awayFromIntegers(0.1, 10.0, 0.05);
                             const double offset = std::exp(g.uniform(std::log(1e-9), std::log(1e-4)));
                             const double pc = pa + pb + g.integer(-3, 3) + offset;
                             a[0] = real(pa);
                             a[1] = real(pb);
                             a[2] = real(pc);
                             a[3] = real(g.uniform(0.76, 0.999));
                             return pc > 0.1 && offInteger(pc) > 0.02;
                         }));
    // ... and the polynomial summed at 1 - x.
    out.push_back(
        regime("fhyper", "a = -20..-30, x in 0.99..1 (careful, reversed polynomial)", f, [](Rng& g, Args& a) {
            a[0] = real(-g.integer(20, 30));
            a[1] = real(g.awayFromIntegers(5.0, 25.0, 0.05));
            a[2] = real(g.awayFromIntegers(-2.0, 10.0, 0.05));
            a[3] = real(1.0 - std::exp(g.uniform(std::log(1e-12), std::log(1e-2))));
            return true;
        }));
    // Parameters near 100 whose forms' terms exceed the value beyond
    // double-double: the wide arithmetic ...
    out.push_back(
        regime("fhyper", "a, b in 50..100, c in -100..-10, x in -0.99..-0.7 (careful, wide arithmetic)", f,
               [](Rng& g, Args& a) {
                   a[0] = real(g.awayFromIntegers(50.0, 100.0, 0.05));
                   a[1] = real(g.awayFromIntegers(50.0, 100.0, 0.05));
                   a[2] = real(g.awayFromIntegers(-100.0, -10.0, 0.05));
                   a[3] = real(g.uniform(-0.99, -0.7));
                   return offInteger(a[2].re - a[0].re) > 0.02 && offInteger(a[2].re - a[1].re) > 0.02;
               }));
    // ... and the connection to 1 - x with its Gamma quotients in double-double.
    out.push_back(regime("fhyper",
                         "a in 20..40, b in -100..-80, c in -70..-50, x in 0.98..0.995 (careful, "
                         "double-double connection)",
                         f, [](Rng& g, Args& a) {
                             a[0] = real(g.awayFromIntegers(20.0, 40.0, 0.05));
                             a[1] = real(g.awayFromIntegers(-100.0, -80.0, 0.05));
                             a[2] = real(g.awayFromIntegers(-70.0, -50.0, 0.05));
                             a[3] = real(g.uniform(0.98, 0.995));
                             return offInteger(a[2].re - a[0].re - a[1].re) > 0.02;
                         }));
}

// The confluent function always sums its power series in double precision,
// and where that cancels (large negative x) also evaluates the asymptotic
// expansion; where neither is accurate by its own measures it evaluates in
// extended precision. The pools are sorted by the kernel's own choice.
bool keptInDouble(const Args& a) {
    return confluentMethod(a[0].re, a[1].re, a[2].re) == ConfluentMethod::SeriesOrExpansion;
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
    const auto inDouble = [parameters](double lo, double hi) {
        return [parameters, lo, hi](Rng& g, Args& a) {
            a[2] = real(g.uniform(lo, hi));
            return parameters(g, a) && keptInDouble(a);
        };
    };
    const auto extended = [](auto draw) {
        return [draw](Rng& g, Args& a) { return draw(g, a) && !keptInDouble(a); };
    };
    out.push_back(regime("mhyper", "x in -10..10 (power series kept)", f, inDouble(-10.0, 10.0)));
    out.push_back(regime("mhyper", "x in 30..50 (long power series kept)", f, inDouble(30.0, 50.0)));
    out.push_back(regime("mhyper", "x in -55..-30 (extended: Kummer, positive series)", f,
                         extended([parameters](Rng& g, Args& a) {
                             a[2] = real(g.uniform(-55.0, -30.0));
                             return parameters(g, a);
                         })));
    out.push_back(regime("mhyper", "x in 300..700 (extended: series of up to 1000 terms)", f,
                         extended([parameters](Rng& g, Args& a) {
                             a[2] = real(g.uniform(300.0, 700.0));
                             return parameters(g, a);
                         })));
    out.push_back(regime("mhyper", "x in -40..-10, a - b in 5..25 (extended: oscillating)", f,
                         extended([](Rng& g, Args& a) {
                             const double pb = g.awayFromIntegers(0.2, 5.0, 0.05);
                             a[0] = real(pb + g.awayFromIntegers(5.0, 25.0, 0.05));
                             a[1] = real(pb);
                             a[2] = real(g.uniform(-40.0, -10.0));
                             return true;
                         })));
    out.push_back(regime("mhyper", "b in -25..-1, x in -60..-10 (extended: negative b)", f,
                         extended([](Rng& g, Args& a) {
                             a[0] = real(g.uniform(-25.0, 25.0));
                             a[1] = real(g.awayFromIntegers(-25.0, -1.0, 0.05));
                             a[2] = real(g.uniform(-60.0, -10.0));
                             return true;
                         })));
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

// Parameters up to 30 (from 20 on the fractions run in extended precision),
// and below 20, where the fractions' double-precision value is kept.
void addIncompleteBeta(std::vector<Regime>& out) {
    for (const double largest : {30.0, 20.0})
        for (const bool first : {true, false}) {
            std::string name = first ? "first continued fraction" : "second continued fraction";
            if (largest == 20.0) name += ", a, b < 20";
            out.push_back(regime("ibeta", name, "Ibeta", [first, largest](Rng& g, Args& a) {
                const double x = g.uniform(0.001, 0.999);
                const double pa = g.uniform(1.5, largest);
                const double pb = g.uniform(1.5, largest);
                a[0] = real(x);
                a[1] = real(pa);
                a[2] = real(pb);
                return usesFirstBetaFraction(x, pa, pb) == first;
            }));
        }
}

// ---- entry cases --------------------------------------------------------------

// The bare loop an engine cannot beat: read the element, call the kernel,
// store both parts. The kernel is known at compile time, so the call is
// direct.
template <std::size_t Row, std::size_t Position, bool Complex>
void referenceLoop(const VectorInputs& v, const Args& fixed, double* outRe, double* outIm) {
    constexpr Host::KernelCall kernel = kFunctionForms[Row].kernel;
    Args args = fixed;
    const std::size_t n = v.re.size();
    for (std::size_t i = 0; i < n; ++i) {
        args[Position] = tabulComplex(v.re[i], Complex ? v.im[i] : 0.0);
        tabulComplex r(0.0, 0.0);
        kernel(r, args.data());
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

// The entry point of the form in the given row with a vector at Position,
// against the bare loop.
template <std::size_t Row, std::size_t Position>
EntryCase entry(VectorKind kind, Args fixed, PointDraw draw) {
    const FunctionForm& form = kFunctionForms[Row];
    ReferenceLoop loop =
        isComplexKind(kind) ? &referenceLoop<Row, Position, true> : &referenceLoop<Row, Position, false>;
    const std::string function = labelOf(form);
    return EntryCase{function,
                     variantName(kind),
                     kind,
                     form.arity,
                     Position,
                     fixed,
                     form.call,
                     loop,
                     drawElements(function + variantName(kind), draw)};
}

// A two-argument function of a fixed order or degree and a vector of points,
// real and complex (imaginary parts 0, which the real-only kernels accept).
template <std::size_t Row>
void addPointVector(std::vector<EntryCase>& out, double order, PointDraw draw) {
    const Args fixed{real(order), real(0.0), real(0.0), real(0.0)};
    for (const VectorKind kind : {VectorKind::Real, VectorKind::Complex})
        out.push_back(entry<Row, 1>(kind, fixed, draw));
}

tabulComplex unitInterval(Rng& g) {
    return real(g.uniform(-1.0, 1.0));
}

std::vector<EntryCase> buildEntryCases() {
    std::vector<EntryCase> out;
    constexpr std::size_t tcheb = rowOf("tcheb");
    addPointVector<tcheb>(out, 5.0, unitInterval);
    const Args degreeFive{real(5.0), real(0.0), real(0.0), real(0.0)};
    for (const VectorKind kind : {VectorKind::TwoRealVectors, VectorKind::TwoComplexVectors})
        out.push_back(entry<tcheb, 1>(kind, degreeFive, unitInterval));
    // The resolution of the comparison: the bare loop timed against itself.
    EntryCase calibration = entry<tcheb, 1>(VectorKind::Real, degreeFive, unitInterval);
    calibration.entry = nullptr;
    calibration.variant = "bare loop against itself";
    out.push_back(std::move(calibration));
    addPointVector<rowOf("ucheb")>(out, 5.0, unitInterval);
    addPointVector<rowOf("her")>(out, 5.0, [](Rng& g) { return real(g.uniform(-5.0, 5.0)); });
    addPointVector<rowOf("lag")>(out, 5.0, [](Rng& g) { return real(g.uniform(0.0, 30.0)); });
    addPointVector<rowOf("leg")>(out, 5.0, unitInterval);
    const PointDraw smallKelvin = [](Rng& g) { return real(g.uniform(0.0, 5.0)); };
    addPointVector<rowOf("ber")>(out, 1.0, smallKelvin);
    addPointVector<rowOf("bei")>(out, 1.0, smallKelvin);
    const PointDraw upToTen = [](Rng& g) { return real(g.uniform(0.0, 10.0)); };
    addPointVector<rowOf("igamma")>(out, 3.0, upToTen);
    addPointVector<rowOf("gamma2")>(out, 2.5, upToTen);

    const Args none{real(0.0), real(0.0), real(0.0), real(0.0)};
    constexpr std::size_t gamma = rowOf("gamma");
    out.push_back(entry<gamma, 0>(VectorKind::Real, none,
                                  [](Rng& g) { return real(g.awayFromIntegers(0.5, 30.0, 0.01)); }));
    out.push_back(entry<gamma, 0>(VectorKind::Complex, none, [](Rng& g) {
        return tabulComplex(g.uniform(0.5, 20.0), g.uniform(-10.0, 10.0));
    }));
    constexpr std::size_t lnGamma = rowOf("lngamma");
    out.push_back(
        entry<lnGamma, 0>(VectorKind::Real, none, [](Rng& g) { return real(g.uniform(0.1, 50.0)); }));
    out.push_back(entry<lnGamma, 0>(VectorKind::Complex, none, [](Rng& g) {
        return tabulComplex(g.uniform(0.0, 10.0), g.uniform(0.1, 10.0));
    }));

    for (const VectorKind kind : {VectorKind::Real, VectorKind::Complex}) {
        out.push_back(entry<rowOf("fhyper"), 3>(kind, {real(0.3), real(1.7), real(2.9), real(0.0)},
                                                [](Rng& g) { return real(g.uniform(-0.5, 0.75)); }));
        out.push_back(
            entry<rowOf("jac"), 3>(kind, {real(5.0), real(0.5), real(1.5), real(0.0)}, unitInterval));
        out.push_back(entry<rowOf("mhyper"), 2>(kind, {real(0.7), real(1.9), real(0.0), real(0.0)},
                                                [](Rng& g) { return real(g.uniform(-10.0, 10.0)); }));
        out.push_back(entry<rowOf("ibeta"), 0>(kind, {real(0.0), real(2.5), real(3.5), real(0.0)},
                                               [](Rng& g) { return real(g.uniform(0.001, 0.999)); }));
    }
    return out;
}

std::vector<Regime> buildKernelRegimes() {
    std::vector<Regime> out;
    addPolynomials(out);
    addKelvin(out, "ber");
    addKelvin(out, "bei");
    addCompleteGamma(out);
    addLogGamma(out);
    addIncompleteGamma(out, "gamma2", "GammaUpper", false);
    addIncompleteGamma(out, "igamma", "Igamma", true);
    addGauss(out);
    addConfluent(out);
    addIncompleteBeta(out);
    // Where the kernel corrects the 1.0.0 method's value on some inputs
    // of a regime, the rest of its pool as a regime of its own, on which the
    // method's floor is timed beside the kernel.
    for (Regime& part : keptParts(out)) out.push_back(std::move(part));
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
