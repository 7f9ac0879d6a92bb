// The fourteen entry points: each looks at the kinds of its arguments in a
// fixed order, and either calls its scalar adapter once or hands the call to
// one family of the vectorization engine. Every rejection names the host
// position of the argument the worksheet should mark.

#include "oru/special.hpp"

#include <memory>
#include <type_traits>
#include <typeinfo>

#include "host/vectorize.hpp"
#include "host/wrappers.hpp"
#include "oru/utility.hpp"
#include "vesk/run/app_exception.hpp"

namespace Oru {

namespace {

using namespace Host;
using Tabul::MatVal;
using Tabul::NumVal;
using Result = Special::Result;
using Arg = Special::Arg;

// Both classes are final, so comparing the dynamic type is the same test as
// a dynamic_cast, without the walk of the class hierarchy that the runtime's
// general cast makes (several of them per call in the four-argument forms).
static_assert(std::is_final_v<NumVal> && std::is_final_v<MatVal>);

// The type tests, inlined: a scalar call makes two or more of them, each a
// few instructions against a call's own cost.
//
// The scalar's test is laid out so that a scalar's way through it takes no
// jump. A scalar call comes after the previous call's kernel, which can push
// these branches out of the processor's memory of branches; a branch it does
// not remember is taken as not taken, so every jump on the scalar's way would
// cost a misprediction (with a long kernel in between, about ten nanoseconds
// a call in all). The type names' addresses decide as in the runtime's own
// test; the names themselves are compared only where those differ.
[[gnu::always_inline]] inline const NumVal* asScalar(Arg v) {
    if (v == nullptr) [[unlikely]]
        return nullptr;
    const std::type_info& type = typeid(*v);
    if (type.name() == typeid(NumVal).name()) [[likely]]
        return static_cast<const NumVal*>(v);
    return type == typeid(NumVal) ? static_cast<const NumVal*>(v) : nullptr;
}
[[gnu::always_inline]] inline const MatVal* asMatrix(Arg v) {
    return v != nullptr && typeid(*v) == typeid(MatVal) ? static_cast<const MatVal*>(v) : nullptr;
}

// A type test that fails compares the two type names as strings, one that
// succeeds only their addresses; so the likely kind, a scalar, is tried first.
bool isNested(Arg v) {
    if (asScalar(v) != nullptr) return false;
    const MatVal* m = asMatrix(v);
    return m != nullptr && m->HasPtrs();
}

// The kernel on the scalars' values, then the result made from its value:
// what the adapter's opCplx would store, without writing the result twice.
template <class W, class... Scalars>
Result scalarCall(const Scalars&... args) {
    tabulComplex r(0.0, 0.0);
    W::kernel(r, toComplex(args->Data)...);
    return std::make_unique<NumVal>(r.re, r.im);
}

// Bei, Ber, Igamma, Her, Leg, Lag, Tcheb, Ucheb and the two-argument Gamma:
// either argument, or both, may be a vector.
template <class W>
[[gnu::noinline]] Result twoArgumentVectorCall(Arg a, Arg b) {
    using Op = BinaryVectorOp<W>;
    if (const NumVal* sa = asScalar(a)) {
        if (const MatVal* mb = asMatrix(b)) return Op::opNM(*sa, *mb);
        Throw("must be a scalar or a matrix", 2);
    }
    if (const MatVal* ma = asMatrix(a)) {
        if (const NumVal* sb = asScalar(b)) return Op::opMN(*ma, *sb);
        if (const MatVal* mb = asMatrix(b)) return Op::opMM(*ma, *mb);
        Throw("must be a scalar or a matrix", 2);
    }
    Throw("must be a scalar or a matrix", 1);
}

// Two scalars, the likely call, on a way without jumps; anything else in its
// own function.
template <class W>
Result twoArgumentCall(Arg a, Arg b) {
    const NumVal* sa = asScalar(a);
    const NumVal* sb = asScalar(b);
    if (sa != nullptr && sb != nullptr) [[likely]]
        return scalarCall<W>(sa, sb);
    return twoArgumentVectorCall<W>(a, b);
}

// The complete gamma function and the log-gamma function.
template <class W>
[[gnu::noinline]] Result oneArgumentVectorCall(Arg a) {
    if (const MatVal* m = asMatrix(a)) return UnaryVectorOp<W>::opM(*m);
    Throw("must be a scalar or a vector", 1);
}

template <class W>
Result oneArgumentCall(Arg a) {
    if (const NumVal* s = asScalar(a)) [[likely]]
        return scalarCall<W>(s);
    return oneArgumentVectorCall<W>(a);
}

// Fhyper and Jac: arguments 2 and 3 are scalars; argument 1 or 4 (not both)
// may be a vector.
template <class W>
[[gnu::noinline]] Result fourArgumentVectorCall(Arg a, Arg b, Arg c, Arg d) {
    using Vesk::Run::AppException;
    const NumVal* sb = asScalar(b);
    if (sb == nullptr) AppException::Raise("must be scalar", 2);
    const NumVal* sc = asScalar(c);
    if (sc == nullptr) AppException::Raise("must be scalar", 3);
    if (isNested(a)) Throw("may not be nested", 1);
    if (isNested(d)) Throw("may not be nested", 4);
    const NumVal* sa = asScalar(a);
    const NumVal* sd = asScalar(d);
    const MatVal* ma = sa != nullptr ? nullptr : asMatrix(a);
    const MatVal* md = sd != nullptr ? nullptr : asMatrix(d);
    if (sa != nullptr && sd != nullptr) return scalarCall<W>(sa, sb, sc, sd);
    if (ma != nullptr && sd != nullptr) {
        if (ma->Data.m_cols != 1) Throw("must be vector", 1);
        return VectorizeVCplxCplxCplxCplx<W>::apply(*ma, sb->Data, sc->Data, sd->Data);
    }
    if (sa != nullptr && md != nullptr) {
        if (md->Data.m_cols != 1) Throw("must be vector", 4);
        return VectorizeCplxCplxCplxVCplx<W>::apply(sa->Data, sb->Data, sc->Data, *md);
    }
    if (ma != nullptr && md != nullptr) Throw("must be scalar", 1);
    if (sa == nullptr && ma == nullptr) Throw("must be a scalar or a matrix", 1);
    Throw("must be a scalar or a matrix", 4);
}

template <class W>
Result fourArgumentCall(Arg a, Arg b, Arg c, Arg d) {
    const NumVal* sa = asScalar(a);
    const NumVal* sb = asScalar(b);
    const NumVal* sc = asScalar(c);
    const NumVal* sd = asScalar(d);
    if (sa != nullptr && sb != nullptr && sc != nullptr && sd != nullptr) [[likely]]
        return scalarCall<W>(sa, sb, sc, sd);
    return fourArgumentVectorCall<W>(a, b, c, d);
}

// Mhyper and Ibeta: exactly one of the three arguments may be a vector.
template <class W>
[[gnu::noinline]] Result threeArgumentVectorCall(Arg a, Arg b, Arg c) {
    const Arg args[3] = {a, b, c};
    for (unsigned k = 0; k < 3; ++k)
        if (isNested(args[k])) Throw("may not be nested", k + 1);
    for (unsigned k = 0; k < 3; ++k)
        if (asScalar(args[k]) == nullptr && asMatrix(args[k]) == nullptr)
            Throw("must be a scalar or a matrix", k + 1);
    const NumVal* sa = asScalar(a);
    const NumVal* sb = asScalar(b);
    const NumVal* sc = asScalar(c);
    if (sa && sb && sc) return scalarCall<W>(sa, sb, sc);
    if (!sa && sb && sc) {
        const MatVal& m = *asMatrix(a);
        if (m.Data.m_cols != 1) Throw("must be vector", 1);
        return VectorizeVCplxCplxCplx<W>::apply(m, sb->Data, sc->Data);
    }
    if (sa && !sb && sc) {
        const MatVal& m = *asMatrix(b);
        if (m.Data.m_cols != 1) Throw("must be vector", 2);
        return VectorizeCplxVCplxCplx<W>::apply(sa->Data, m, sc->Data);
    }
    if (sa && sb && !sc) {
        const MatVal& m = *asMatrix(c);
        if (m.Data.m_cols != 1) Throw("must be vector", 3);
        return VectorizeCplxCplxVCplx<W>::apply(sa->Data, sb->Data, m);
    }
    Throw("illegal context", kNoArgument);
}

template <class W>
Result threeArgumentCall(Arg a, Arg b, Arg c) {
    const NumVal* sa = asScalar(a);
    const NumVal* sb = asScalar(b);
    const NumVal* sc = asScalar(c);
    if (sa != nullptr && sb != nullptr && sc != nullptr) [[likely]]
        return scalarCall<W>(sa, sb, sc);
    return threeArgumentVectorCall<W>(a, b, c);
}

}  // namespace

Result Special::Bei(Arg a, Arg b) {
    return twoArgumentCall<Wrap<&tabulBei>>(a, b);
}
Result Special::Ber(Arg a, Arg b) {
    return twoArgumentCall<Wrap<&tabulBer>>(a, b);
}
Result Special::Igamma(Arg a, Arg b) {
    return twoArgumentCall<Wrap<&tabulIgamma>>(a, b);
}
Result Special::Her(Arg a, Arg b) {
    return twoArgumentCall<Wrap<&tabulHer>>(a, b);
}
Result Special::Leg(Arg a, Arg b) {
    return twoArgumentCall<Wrap<&tabulLeg>>(a, b);
}
Result Special::Lag(Arg a, Arg b) {
    return twoArgumentCall<Wrap<&tabulLag>>(a, b);
}
Result Special::Tcheb(Arg a, Arg b) {
    return twoArgumentCall<Wrap<&tabulTcheb>>(a, b);
}
Result Special::Ucheb(Arg a, Arg b) {
    return twoArgumentCall<Wrap<&tabulUcheb>>(a, b);
}

Result Special::Gamma(Arg a, Arg b) {
    if (b == nullptr) return oneArgumentCall<Wrap<&tabulGamma1>>(a);
    return twoArgumentCall<Wrap<&tabulGamma2>>(a, b);
}

Result Special::LnGamma(Arg a) {
    return oneArgumentCall<Wrap<&tabulLnGamma>>(a);
}

Result Special::Fhyper(Arg a, Arg b, Arg c, Arg d) {
    return fourArgumentCall<Wrap<&tabulFhyper>>(a, b, c, d);
}
Result Special::Jac(Arg a, Arg b, Arg c, Arg d) {
    return fourArgumentCall<Wrap<&tabulJac>>(a, b, c, d);
}

Result Special::Mhyper(Arg a, Arg b, Arg c) {
    return threeArgumentCall<Wrap<&tabulMhyper>>(a, b, c);
}
Result Special::Ibeta(Arg a, Arg b, Arg c) {
    return threeArgumentCall<Wrap<&tabulIbeta>>(a, b, c);
}

}  // namespace Oru
