// The element-wise engine: argument order at the kernel, the real and
// complex paths, the three storing rules, views, and errors raised mid-way.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/vectorize.hpp"
#include "host_values.hpp"
#include "oru/utility.hpp"

using namespace testing_host;
using namespace Oru::Host;
using Oru::Special;
using Oru::tabulComplex;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Reports the order of its arguments in the real part (10 a + b) and takes
// its imaginary part from a code in the first argument: 7 gives -0.0, 8 a
// NaN, 9 gives 1.5, anything else +0.0. A negative first argument raises.
void probe2(tabulComplex& r, const tabulComplex& a, const tabulComplex& b) {
    if (a.re < 0.0) Oru::Throw("probe refused", 1);
    if (b.re < 0.0) Oru::Throw("probe refused", 2);
    r.re = 10.0 * a.re + b.re;
    r.im = a.re == 7.0 ? -0.0 : a.re == 8.0 ? kNaN : a.re == 9.0 ? 1.5 : 0.0;
}
struct WrapProbe2 : Wrap<&probe2> {};
using Probe2 = BinaryVectorOp<WrapProbe2>;

// Echoes its argument's imaginary part and reports the real part.
void probe1(tabulComplex& r, const tabulComplex& a) {
    r.re = a.re;
    r.im = a.im == 5.0 ? 0.0 : a.im;
}
struct WrapProbe1 : Wrap<&probe1> {};
using Probe1 = UnaryVectorOp<WrapProbe1>;

// The four-argument probe: the vector's value in position 1 or 4, and the
// imaginary part of argument 2 passed through.
void probe4(tabulComplex& r, const tabulComplex& a, const tabulComplex& b, const tabulComplex& c,
            const tabulComplex& d) {
    r.re = 1000 * a.re + 100 * b.re + 10 * c.re + d.re;
    r.im = a.re == 9.0 || d.re == 9.0 ? b.im + c.im : 0.0;
}
struct WrapProbe4 : Wrap<&probe4> {};

void probe3(tabulComplex& r, const tabulComplex& a, const tabulComplex& b, const tabulComplex& c) {
    if (c.re == 4.0) Oru::Throw("probe refused", 3);
    r.re = 100 * a.re + 10 * b.re + c.re;
    r.im = (a.re == 7.0 || b.re == 7.0 || c.re == 7.0) ? -0.0 : (b.re == 9.0 ? 2.0 : 0.0);
}
struct WrapProbe3 : Wrap<&probe3> {};

std::vector<double> reals(const MatVal& m) {
    std::vector<double> out;
    for (int i = 0; i < m.Data.m_rows; ++i) out.push_back(m.Re(i, 0));
    return out;
}
std::vector<double> imags(const MatVal& m) {
    std::vector<double> out;
    for (int i = 0; i < m.Data.m_rows; ++i) out.push_back(m.Im(i, 0));
    return out;
}

}  // namespace

TEST(Vectorize, KernelSeesTheHostOrderInEveryForm) {
    const auto v = vec({1, 2});
    const auto w = vec({3, 4});
    const auto s = scalar(5);
    EXPECT_EQ(reals(*Probe2::opMN(*v, *s)), (std::vector<double>{15, 25}));
    EXPECT_EQ(reals(*Probe2::opNM(*s, *v)), (std::vector<double>{51, 52}));
    EXPECT_EQ(reals(*Probe2::opMM(*v, *w)), (std::vector<double>{13, 24}));
    const auto cs = scalar(5, 1);
    EXPECT_EQ(reals(*Probe2::opNM(*cs, *v)), (std::vector<double>{51, 52}));
    const auto cv = cvec({1, 2}, {0, 0});
    EXPECT_EQ(reals(*Probe2::opNM(*s, *cv)), (std::vector<double>{51, 52}));
}

TEST(Vectorize, RealInputsGiveARealResultUnlessAKernelNeedsImaginaryParts) {
    const auto s = scalar(1);
    const auto minusZero = scalar(1, -0.0);
    const auto v = vec({1, 7, 2});  // 7 gives -0.0: still real
    const auto r = Probe2::opMN(*v, *s);
    EXPECT_FALSE(r->HasImag());
    EXPECT_FALSE(Probe2::opMN(*v, *minusZero)->HasImag());

    const auto withNeed = vec({1, 7, 9});
    const auto r2 = Probe2::opMN(*withNeed, *s);
    ASSERT_TRUE(r2->HasImag());
    // -0.0 and 0.0 both read back as +0.0 in the non-zero-only rule.
    EXPECT_FALSE(std::signbit(r2->Im(1, 0)));
    EXPECT_EQ(imags(*r2), (std::vector<double>{0, 0, 1.5}));

    const auto withNaN = vec({8, 1});
    const auto r3 = Probe2::opMM(*withNaN, *vec({1, 1}));
    ASSERT_TRUE(r3->HasImag());
    EXPECT_TRUE(std::isnan(r3->Im(0, 0)));
    EXPECT_FALSE(Probe2::opMM(*v, *vec({0, 0, 0}))->HasImag());
}

TEST(Vectorize, ComplexInputsAlwaysGiveAComplexResult) {
    const auto v = vec({1, 2});
    const auto tiny = scalar(2, 1e-300);
    EXPECT_TRUE(Probe2::opMN(*v, *tiny)->HasImag());
    EXPECT_TRUE(Probe2::opNM(*tiny, *v)->HasImag());
    const auto cv = cvec({1, 7}, {0, 0});
    const auto r = Probe2::opMN(*cv, *scalar(1));
    ASSERT_TRUE(r->HasImag());
    EXPECT_TRUE(std::signbit(r->Im(1, 0)));  // every part stored as the kernel gave it
    EXPECT_TRUE(Probe2::opMM(*v, *cv)->HasImag());
    EXPECT_TRUE(Probe2::opMM(*cv, *v)->HasImag());
}

TEST(Vectorize, OneArgumentFunctionsDropOrKeepImaginaryParts) {
    // A real vector never gives imaginary parts.
    EXPECT_FALSE(Probe1::opM(*vec({1, 2}))->HasImag());
    // A complex vector gives them only when some result needs them.
    EXPECT_FALSE(Probe1::opM(*cvec({1, 2}, {5, 0}))->HasImag());
    const auto r = Probe1::opM(*cvec({1, 2}, {5, -3}));
    ASSERT_TRUE(r->HasImag());
    EXPECT_EQ(imags(*r), (std::vector<double>{0, -3}));
    // A scalar returns the kernel's value unchanged.
    const auto s = Probe1::opN(*scalar(1, -0.0));
    EXPECT_TRUE(std::signbit(s->Data.ip));
}

TEST(Vectorize, ThreeAndFourArgumentFormsStoreEveryPartWhenNeeded) {
    const auto s1 = scalar(1);
    const auto s2 = scalar(2, 0.25);
    const auto s3 = scalar(3);
    const auto v = vec({9, 0});
    const auto first = VectorizeVCplxCplxCplxCplx<WrapProbe4>::apply(*v, s1->Data, s2->Data, s3->Data);
    EXPECT_EQ(reals(*first), (std::vector<double>{9123, 123}));
    EXPECT_EQ(imags(*first), (std::vector<double>{0.25, 0}));
    const auto last = VectorizeCplxCplxCplxVCplx<WrapProbe4>::apply(s1->Data, s2->Data, s3->Data, *v);
    EXPECT_EQ(reals(*last), (std::vector<double>{1239, 1230}));
    EXPECT_FALSE(
        VectorizeCplxCplxCplxVCplx<WrapProbe4>::apply(s1->Data, s2->Data, s3->Data, *vec({1}))->HasImag());

    const auto mixed = vec({1, 7, 9});
    const auto second = VectorizeCplxVCplxCplx<WrapProbe3>::apply(s1->Data, *mixed, s3->Data);
    EXPECT_EQ(reals(*second), (std::vector<double>{113, 173, 193}));
    ASSERT_TRUE(second->HasImag());
    EXPECT_TRUE(std::signbit(second->Im(1, 0)));  // -0.0 kept in this rule
    const auto third = VectorizeCplxCplxVCplx<WrapProbe3>::apply(s1->Data, s3->Data, *vec({1, 7}));
    EXPECT_FALSE(third->HasImag());
}

TEST(Vectorize, ViewsAreReadThroughOffsetAndStride) {
    // Column of 3 elements starting at place 2; the stride of 5 exceeds the rows.
    const auto view = MatVal::View({-1, -1, 1, 2, 3, -1, -1}, MatVal::Array{0, 0, 0, 0, 5, 0, 0},
                                   Tabul::mat_val{3, 1, 5}, 2);
    const auto r = Probe2::opMN(*view, *scalar(0));
    EXPECT_EQ(reals(*r), (std::vector<double>{10, 20, 30}));
    const auto one = Probe1::opM(*view);
    EXPECT_EQ(imags(*one), (std::vector<double>{0, 0, 0}));
    const auto other = MatVal::View({-1, -1, 1, 2, 3, -1, -1}, std::nullopt, Tabul::mat_val{3, 1, 5}, 2);
    EXPECT_EQ(reals(*Probe2::opMM(*view, *other)), (std::vector<double>{11, 22, 33}));
}

TEST(Vectorize, KernelErrorsEndTheCallWithTheHostPosition) {
    const auto v = vec({1, -2, 3});
    const auto s = scalar(1);
    EXPECT_TRUE(raises([&] { Probe2::opMN(*v, *s); }, "probe refused", 1));
    EXPECT_TRUE(raises([&] { Probe2::opNM(*s, *v); }, "probe refused", 2));
    EXPECT_TRUE(raises(
        [&] {
            VectorizeCplxCplxVCplx<WrapProbe3>::apply(s->Data, s->Data, *vec({1, 4}));
        },
        "probe refused", 3));
}

TEST(Vectorize, EmptyVectorsGiveEmptyResults) {
    const auto empty = vec({});
    const auto r = Probe2::opMN(*empty, *scalar(1));
    EXPECT_EQ(r->Data.m_rows, 0);
    EXPECT_EQ(r->Data.m_cols, 1);
}

TEST(Vectorize, ChebyshevThroughTheEntryPoints) {
    const auto r = Special::Tcheb(scalar(3).get(), vec({0.5, 1, 2}).get());
    EXPECT_EQ(reals(asMatrix(r)), (std::vector<double>{-1, 1, 26}));
    EXPECT_FALSE(asMatrix(r).HasImag());
    const auto u = Special::Ucheb(vec({0, 1, 2}).get(), scalar(2).get());
    EXPECT_EQ(reals(asMatrix(u)), (std::vector<double>{1, 4, 15}));
    // The third degree is not an integer: the error names argument 1, and the
    // scalar form reports the same index.
    EXPECT_TRUE(raises(
        [&] {
            Special::Ucheb(vec({1, 2, 2.5}).get(), scalar(0.3).get());
        },
        "must be integer", 1));
    EXPECT_TRUE(raises([&] { Special::Ucheb(scalar(2.5).get(), scalar(0.3).get()); }, "must be integer", 1));
    EXPECT_TRUE(raises(
        [&] {
            Special::Tcheb(scalar(2).get(), cvec({1, 2}, {0, 1}).get());
        },
        "must be real", 2));
    // A complex vector whose imaginary parts are all zero takes the complex path.
    EXPECT_TRUE(asMatrix(Special::Tcheb(scalar(2).get(), cvec({1, 2}, {0, 0}).get())).HasImag());
}
