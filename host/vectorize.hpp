#pragma once

// The element-wise vectorization engine. Each family applies a function's
// kernel once per element of a vector argument, holding the other arguments
// fixed (or walking a second vector in step), and builds a new MatVal.
//
// Two rules shape it:
//  * Every kernel call gets its arguments in the host's order, whichever
//    argument is the vector, so a kernel's 1-based error index is always the
//    host position of the offending argument. The scalar-first forms reuse
//    the matrix-first vectorizers through Reverse, which swaps the two
//    values back at the kernel call.
//  * A real input is read without touching an imaginary array, and each
//    family decides whether its result carries imaginary parts: never,
//    when some element needs them, or always.
//
// Inputs are read in place through each matrix's own offset and column
// stride; a call allocates its result arrays once and nothing per element.

#include <omp.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "host/parallel.hpp"
#include "host/wrappers.hpp"
#include "numeric/core/complex.hpp"
#include "numeric/core/constants.hpp"
#include "oru/utility.hpp"
#include "tabul/values.hpp"

namespace Oru::Host {

using Tabul::MatVal;
using Tabul::num_val;
using Tabul::NumVal;

// ---- building blocks --------------------------------------------------------

// Turns a vectorizer written for (element, scalar) into one whose kernel sees
// (scalar, element).
template <class Op>
struct Reverse {
    static void kernel(tabulComplex& r, const tabulComplex& element, const tabulComplex& scalar) {
        Op::kernel(r, scalar, element);
    }
};

// How a family builds the imaginary array of its result.
enum class ImagRule {
    Never,              // real result, whatever the kernel gave
    WhenNeededNonZero,  // store non-zero parts; hand over only if one arrived
    WhenNeededAll,      // store every part; hand over only if one was non-zero
    Always,             // store every part and always hand it over
};

// One input vector, read in place. With Complex false the imaginary array is
// never touched and every element is real.
template <bool Complex>
class VectorReader {
public:
    explicit VectorReader(const MatVal& m)
        : m_re(m.m_rarr.data() + m.m_offset),
          m_im(Complex ? m.m_iarr->data() + m.m_offset : nullptr),
          m_stride(m.Data.m_anr) {}

    tabulComplex at(std::int64_t column, std::int64_t row) const {
        const std::int64_t k = column * m_stride + row;
        if constexpr (Complex)
            return tabulComplex(m_re[k], m_im[k]);
        else
            return tabulComplex(m_re[k], 0.0);
    }

private:
    const double* m_re;
    const double* m_im;
    std::int64_t m_stride;
};

// The arrays of a result, rows x cols elements packed column-major, filled
// by element index under one storing rule.
//
// Under the two when-needed rules the imaginary array is created, zero-filled,
// only when the first element arrives whose imaginary part is not +0.0 (a
// non-zero part, a NaN, or -0.0, which the all-parts rule keeps): every
// element before it had +0.0, which the zero fill already holds, so the array
// ends up as if it had been created at the start. A real result then costs one
// array instead of two: on long real vectors the second array's allocation,
// zero fill and fresh pages would cost more than the rest of the engine per
// element. The same holds when the elements are computed by several threads
// in any order: an element stored before the array exists had +0.0.
template <ImagRule Rule>
class ResultArrays {
public:
    explicit ResultArrays(std::size_t count) : m_count(count), m_re(count) {
        if constexpr (Rule == ImagRule::Always) m_im.emplace(count);
    }

    // Where a thread stores its elements' imaginary parts: null until the
    // array exists.
    class Writer {
    public:
        // Under the when-needed rules another thread may be creating the
        // array, so it is asked for only under the lock.
        // The arrays' addresses are kept here, in the writer's own
        // registers, rather than read through the result's object at every
        // element.
        explicit Writer(ResultArrays& arrays)
            : m_arrays(arrays),
              m_re(arrays.m_re.data()),
              m_im(Rule == ImagRule::Always ? arrays.m_im->data() : nullptr) {}

        void store(std::size_t k, const tabulComplex& r) {
            m_re[k] = r.re;
            if constexpr (Rule == ImagRule::WhenNeededNonZero) {
                if (r.im != 0.0) {  // a NaN is not equal to 0.0
                    if (m_im == nullptr) m_im = m_arrays.imaginaryArray();
                    m_im[k] = r.im;
                    needed = true;
                }
            } else if constexpr (Rule == ImagRule::WhenNeededAll) {
                if (m_im == nullptr && (r.im != 0.0 || std::signbit(r.im))) m_im = m_arrays.imaginaryArray();
                if (m_im != nullptr) m_im[k] = r.im;
                if (r.im != 0.0) needed = true;
            } else if constexpr (Rule == ImagRule::Always) {
                m_im[k] = r.im;
            }
        }

        bool needed = false;  // an element's imaginary part makes the result complex

    private:
        ResultArrays& m_arrays;
        double* m_re;
        double* m_im;
    };

    std::unique_ptr<MatVal> finish(bool needed, int rows, int cols) {
        if constexpr (Rule == ImagRule::WhenNeededNonZero || Rule == ImagRule::WhenNeededAll)
            if (!needed) m_im.reset();
        return std::make_unique<MatVal>(std::move(m_re), std::move(m_im), rows < 0 ? 0 : rows,
                                        cols < 0 ? 0 : cols);
    }

private:
    // Creates the imaginary array at most once, whichever thread asks first.
    double* imaginaryArray() {
        const std::lock_guard<std::mutex> lock(m_creating);
        if (!m_im) m_im.emplace(m_count);
        return m_im->data();
    }

    std::size_t m_count;
    MatVal::Array m_re;
    std::optional<MatVal::Array> m_im;
    std::mutex m_creating;
};

// Calls compute(column, row) and stores the result for the elements from
// `next` up to `end` (columns of `rows` elements), while goOn(index) holds,
// which is asked before each element is computed. `next` is left at the
// element that stopped the walk; it is counted in a local variable, which
// the kernel calls cannot touch. Inlined, so that the reader's fields stay in
// registers across the kernel calls.
template <class Writer, class Compute, class GoOn>
[[gnu::always_inline]] inline void computeElements(Writer& out, Compute& compute, std::size_t& next,
                                                   std::size_t end, std::size_t rows, GoOn goOn) {
    if (next >= end) return;  // also an empty matrix, whose rows may be 0
    std::size_t k = next;
    int j = static_cast<int>(k / rows);
    int i = static_cast<int>(k % rows);
    while (k < end) {
        // The rest of column j, or of the range.
        const int last = static_cast<int>(std::min<std::size_t>(rows, i + (end - k)));
        for (; i < last; ++i, ++k) {
            if (!goOn(k)) {
                next = k;
                return;
            }
            out.store(k, compute(j, i));
        }
        i = 0;
        ++j;
    }
    next = k;
}

// The elements from `begin` on, shared out among the threads a few hundred
// at a time. Results, storing rules and the error are those of the loop in
// one thread: each element is computed by the same call in the calling
// thread's floating-point environment and stored at its own index, and the
// error thrown is the one of the lowest failing element. No exception leaves
// a thread's part; the error is thrown once every thread has finished.
// Returns whether an element made the result complex.
template <ImagRule Rule, class Compute>
bool splitAcrossThreads(ResultArrays<Rule>& arrays, Compute& compute, std::size_t begin, std::size_t count,
                        std::size_t rows, std::chrono::nanoseconds elapsed) {
    const int threads = vectorThreads();
    const std::size_t perShare = elementsPerShare(count - begin, threads, begin, elapsed);
    const std::size_t shares = (count - begin + perShare - 1) / perShare;
    const SharedEnvironment environment;
    FirstFailure failure(count);
    bool needed = false;
    int flags = 0;
#pragma omp parallel num_threads(threads) reduction(|| : needed) reduction(| : flags)
    {
        const SharedEnvironment::Adoption adoption(environment, omp_get_thread_num() == 0);
        typename ResultArrays<Rule>::Writer out(arrays);
#pragma omp for schedule(dynamic, 1) nowait
        for (std::size_t share = 0; share < shares; ++share) {
            std::size_t next = begin + share * perShare;
            const std::size_t end = std::min(next + perShare, count);
            std::size_t computing = next;  // the element whose call may raise
            try {
                computeElements(out, compute, next, end, rows, [&](std::size_t k) {
                    computing = k;
                    return failure.before(k);
                });
            } catch (...) {
                failure.record(computing, std::current_exception());
            }
        }
        needed = out.needed;
        flags = adoption.raisedFlags();
    }
    SharedEnvironment::raiseInCaller(flags);
    failure.rethrow();
    return needed;
}

// The element loop shared by every vectorizer: rows x cols results, each from
// compute(column, row). The first elements are timed in the calling thread;
// the rest are split across the threads when they are many and costly enough
// (see worthSplitting).
template <ImagRule Rule, class Compute>
std::unique_ptr<MatVal> elementLoop(const MatVal& shapeOf, Compute&& compute) {
    const int rows = shapeOf.Data.m_rows;
    const int cols = shapeOf.Data.m_cols;
    const std::size_t count =
        (rows > 0 && cols > 0) ? static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols) : 0;
    ResultArrays<Rule> arrays(count);
    typename ResultArrays<Rule>::Writer out(arrays);
    const auto always = [](std::size_t) { return true; };
    std::size_t next = 0;
    bool needed = false;
    if (count >= kMinimumSplitElements && vectorThreads() > 1) {
        const auto start = std::chrono::steady_clock::now();
        computeElements(out, compute, next, kTimedElements, static_cast<std::size_t>(rows), always);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (worthSplitting(next, elapsed, count - next))
            needed = splitAcrossThreads(arrays, compute, next, count, static_cast<std::size_t>(rows),
                                        std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed));
        else
            computeElements(out, compute, next, count, static_cast<std::size_t>(rows), always);
    } else {
        computeElements(out, compute, next, count, static_cast<std::size_t>(rows), always);
    }
    return arrays.finish(needed || out.needed, rows, cols);
}

// ---- vectorizers of the one-argument functions -------------------------------

template <class W>
struct VectorizeRealOp {
    static std::unique_ptr<MatVal> apply(const MatVal& a) {
        const VectorReader<false> x(a);
        return elementLoop<ImagRule::Never>(a, [&](int j, int i) {
            tabulComplex r(0.0, 0.0);
            W::kernel(r, x.at(j, i));
            return r;
        });
    }
};

template <class Op>
struct VectorizeCplxOp {
    static std::unique_ptr<MatVal> apply(const MatVal& a) {
        const VectorReader<true> x(a);
        return elementLoop<ImagRule::WhenNeededNonZero>(a, [&](int j, int i) {
            tabulComplex r(0.0, 0.0);
            Op::kernel(r, x.at(j, i));
            return r;
        });
    }
};

// ---- vectorizers of the two-argument functions -------------------------------

// A vector and a scalar; Op::kernel takes (element, scalar) - reversed forms
// swap them back.
template <class Op, bool ComplexVector, ImagRule Rule>
std::unique_ptr<MatVal> vectorWithScalar(const MatVal& a, const num_val& s) {
    const VectorReader<ComplexVector> x(a);
    const tabulComplex scalar = toComplex(s);
    return elementLoop<Rule>(a, [&](int j, int i) {
        tabulComplex r(0.0, 0.0);
        Op::kernel(r, x.at(j, i), scalar);
        return r;
    });
}

// Real vector, real scalar (its imaginary part equals 0.0; -0.0 enters as
// +0.0 like every real value).
template <class Op>
struct NcVectorizeRealVReal {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const num_val& s) {
        return vectorWithScalar<Op, false, ImagRule::WhenNeededNonZero>(a, s);
    }
};

template <class Op>
struct VectorizeRealVCplx {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const num_val& s) {
        return vectorWithScalar<Op, false, ImagRule::Always>(a, s);
    }
};

template <class Op>
struct VectorizeCplxVCplx {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const num_val& s) {
        return vectorWithScalar<Op, true, ImagRule::Always>(a, s);
    }
};

// Two vectors walked in step.
template <class Op, bool ComplexA, bool ComplexB, ImagRule Rule>
std::unique_ptr<MatVal> twoVectors(const MatVal& a, const MatVal& b) {
    const VectorReader<ComplexA> x(a);
    const VectorReader<ComplexB> y(b);
    return elementLoop<Rule>(a, [&](int j, int i) {
        tabulComplex r(0.0, 0.0);
        Op::kernel(r, x.at(j, i), y.at(j, i));
        return r;
    });
}

template <class Op>
struct NcVectorizeRealVRealV {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const MatVal& b) {
        return twoVectors<Op, false, false, ImagRule::WhenNeededNonZero>(a, b);
    }
};
template <class Op>
struct VectorizeRealVCplxV {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const MatVal& b) {
        return twoVectors<Op, false, true, ImagRule::Always>(a, b);
    }
};
template <class Op>
struct VectorizeCplxVRealV {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const MatVal& b) {
        return twoVectors<Op, true, false, ImagRule::Always>(a, b);
    }
};
template <class Op>
struct VectorizeCplxVCplxV {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const MatVal& b) {
        return twoVectors<Op, true, true, ImagRule::Always>(a, b);
    }
};

// ---- entry operations of the one- and two-argument functions -----------------

template <class R>
struct UnaryVectorOp {
    static void kernel(tabulComplex& r, const tabulComplex& x) { R::kernel(r, x); }

    static std::unique_ptr<NumVal> opN(const NumVal& a) {
        auto result = std::make_unique<NumVal>();
        R::opCplx(result->Data, a.Data);
        return result;
    }

    static std::unique_ptr<MatVal> opM(const MatVal& a) {
        if (a.Data.m_cols != 1) Throw("must be vector", 1);
        if (a.HasPtrs()) Throw("may not be nested", 1);
        if (!a.m_iarr) return VectorizeRealOp<R>::apply(a);
        return VectorizeCplxOp<UnaryVectorOp<R>>::apply(a);
    }
};

template <class B>
struct BinaryVectorOp {
    static void kernel(tabulComplex& r, const tabulComplex& x, const tabulComplex& y) { B::kernel(r, x, y); }

    static std::unique_ptr<MatVal> opMN(const MatVal& a, const NumVal& b) {
        if (a.Data.m_cols != 1) Throw("must be vector", 1);
        if (a.HasPtrs()) Throw("may not be nested", 1);
        if (!a.m_iarr) {
            if (b.Data.ip == 0.0) return NcVectorizeRealVReal<B>::apply(a, b.Data);
            return VectorizeRealVCplx<BinaryVectorOp<B>>::apply(a, b.Data);
        }
        return VectorizeCplxVCplx<BinaryVectorOp<B>>::apply(a, b.Data);
    }

    static std::unique_ptr<MatVal> opNM(const NumVal& a, const MatVal& b) {
        if (b.Data.m_cols != 1) Throw("must be vector", 2);
        if (b.HasPtrs()) Throw("may not be nested", 2);
        if (!b.m_iarr) {
            if (a.Data.ip == 0.0) return NcVectorizeRealVReal<Reverse<B>>::apply(b, a.Data);
            return VectorizeRealVCplx<Reverse<BinaryVectorOp<B>>>::apply(b, a.Data);
        }
        return VectorizeCplxVCplx<Reverse<BinaryVectorOp<B>>>::apply(b, a.Data);
    }

    static std::unique_ptr<MatVal> opMM(const MatVal& a, const MatVal& b) {
        if (a.Data.m_cols != 1) Throw("must be vector", 1);
        if (b.Data.m_cols != 1) Throw("must be vector", 2);
        if (a.Data.m_rows != b.Data.m_rows) Throw("array size mismatch", kNoArgument);
        if (a.HasPtrs()) Throw("may not be nested", 1);
        if (b.HasPtrs()) Throw("may not be nested", 2);
        const bool complexA = a.m_iarr.has_value();
        const bool complexB = b.m_iarr.has_value();
        if (!complexA && !complexB) return NcVectorizeRealVRealV<B>::apply(a, b);
        if (!complexA) return VectorizeRealVCplxV<BinaryVectorOp<B>>::apply(a, b);
        if (!complexB) return VectorizeCplxVRealV<BinaryVectorOp<B>>::apply(a, b);
        return VectorizeCplxVCplxV<BinaryVectorOp<B>>::apply(a, b);
    }
};

// ---- vectorizers of the three- and four-argument functions -------------------

// Calls W's kernel with the vector's element inserted at 0-based position
// Position among the scalars, so the kernel sees the host's order.
template <class W, std::size_t Position>
struct ElementInserter;

template <class W>
struct ElementInserter<W, 0> {
    template <class... S>
    static void call(tabulComplex& r, const tabulComplex& e, const S&... s) {
        W::kernel(r, e, s...);
    }
};
template <class W>
struct ElementInserter<W, 1> {
    template <class S0, class... S>
    static void call(tabulComplex& r, const tabulComplex& e, const S0& s0, const S&... s) {
        W::kernel(r, s0, e, s...);
    }
};
template <class W>
struct ElementInserter<W, 2> {
    template <class S0, class S1, class... S>
    static void call(tabulComplex& r, const tabulComplex& e, const S0& s0, const S1& s1, const S&... s) {
        W::kernel(r, s0, s1, e, s...);
    }
};
template <class W>
struct ElementInserter<W, 3> {
    template <class S0, class S1, class S2>
    static void call(tabulComplex& r, const tabulComplex& e, const S0& s0, const S1& s1, const S2& s2) {
        W::kernel(r, s0, s1, s2, e);
    }
};

// The element loop of a three- or four-argument function, its scalars
// already converted. Each element gets what the adapter's opCplx would give
// it (re and im copied into a tabulComplex, the result started at 0 + 0i and
// copied back unchanged), without converting the scalars again for every
// element.
template <class W, std::size_t Position, bool Complex, class... Fixed>
std::unique_ptr<MatVal> loopAmongScalars(const MatVal& v, const Fixed&... fixed) {
    const VectorReader<Complex> x(v);
    return elementLoop<ImagRule::WhenNeededAll>(v, [&](int j, int i) {
        tabulComplex r(0.0, 0.0);
        ElementInserter<W, Position>::call(r, x.at(j, i), fixed...);
        return r;
    });
}

// The vector of a three- or four-argument function among its scalars. The
// vector's imaginary parts are read when it has them; the scalars pass with
// both parts, whatever they are.
template <class W, std::size_t Position, class... Scalars>
std::unique_ptr<MatVal> vectorAmongScalars(const MatVal& v, const Scalars&... scalars) {
    if (v.HasImag()) return loopAmongScalars<W, Position, true>(v, toComplex(scalars)...);
    return loopAmongScalars<W, Position, false>(v, toComplex(scalars)...);
}

template <class W>
struct VectorizeVCplxCplxCplxCplx {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const num_val& z1, const num_val& z2,
                                         const num_val& z3) {
        return vectorAmongScalars<W, 0>(a, z1, z2, z3);
    }
};
template <class W>
struct VectorizeCplxCplxCplxVCplx {
    static std::unique_ptr<MatVal> apply(const num_val& z1, const num_val& z2, const num_val& z3,
                                         const MatVal& a) {
        return vectorAmongScalars<W, 3>(a, z1, z2, z3);
    }
};
template <class W>
struct VectorizeVCplxCplxCplx {
    static std::unique_ptr<MatVal> apply(const MatVal& a, const num_val& z1, const num_val& z2) {
        return vectorAmongScalars<W, 0>(a, z1, z2);
    }
};
template <class W>
struct VectorizeCplxVCplxCplx {
    static std::unique_ptr<MatVal> apply(const num_val& z1, const MatVal& a, const num_val& z2) {
        return vectorAmongScalars<W, 1>(a, z1, z2);
    }
};
template <class W>
struct VectorizeCplxCplxVCplx {
    static std::unique_ptr<MatVal> apply(const num_val& z1, const num_val& z2, const MatVal& a) {
        return vectorAmongScalars<W, 2>(a, z1, z2);
    }
};

}  // namespace Oru::Host
