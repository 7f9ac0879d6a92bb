// Every kind of host value the functions read: scalars, packed vectors, views
// into larger arrays, and the kinds they refuse.
#include <oru/special.hpp>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using Tabul::MatVal;
using Tabul::NumVal;

const NumVal* asScalar(const std::unique_ptr<Tabul::Value>& v) {
    return dynamic_cast<const NumVal*>(v.get());
}
const MatVal* asMatrix(const std::unique_ptr<Tabul::Value>& v) {
    return dynamic_cast<const MatVal*>(v.get());
}

}  // namespace

int main() {
    // A complex scalar: Gamma of one argument takes null as its second.
    const NumVal z(0.5, 1.0);
    const auto g = Oru::Special::Gamma(&z, nullptr);
    std::printf("Gamma(0.5+1i) = %.15g %+.15gi\n", asScalar(g)->Data.rp, asScalar(g)->Data.ip);

    // Two arguments: Gamma(a, x), the upper incomplete gamma function.
    const NumVal a(1.0, 0.0), x(2.0, 0.0);
    const auto upper = Oru::Special::Gamma(&a, &x);
    if (std::fabs(asScalar(upper)->Data.rp - std::exp(-2.0)) > 1e-15) return 1;

    // A complex vector: the constructor takes packed column-major arrays of
    // exactly rows x cols doubles; an imaginary array makes it complex.
    const MatVal zs({1.0, 2.0}, std::vector<double>{0.0, 0.0}, 2, 1);
    const auto lg = Oru::Special::LnGamma(&zs);
    // Every result was real, so the matrix came back without imaginary parts.
    if (asMatrix(lg)->HasImag()) return 1;

    // A view: the second column of a 3 x 2 matrix stored with a column stride
    // of 4 inside a larger array. Element (i, j) is at offset + j * anr + i.
    const std::vector<double> storage = {9, 9, 9, 9, /* column 0 */ 9, 0.1, 0.2, 0.3, /* ... */ 9};
    const Tabul::mat_val shape{3, 1, 4};
    const auto column = MatVal::View(storage, std::nullopt, shape, 5);
    const NumVal n(2.0, 0.0);
    const auto p2 = Oru::Special::Leg(&n, column.get());
    std::printf("Leg(2, [0.1; 0.2; 0.3]) = [%g; %g; %g]\n", asMatrix(p2)->Re(0, 0), asMatrix(p2)->Re(1, 0),
                asMatrix(p2)->Re(2, 0));

    // Two vectors of equal length are walked in step (two-argument functions).
    const MatVal degrees({0.0, 1.0, 2.0}, std::nullopt, 3, 1);
    const auto mixed = Oru::Special::Her(&degrees, column.get());
    if (asMatrix(mixed)->Re(0, 0) != 1.0) return 1;

    // Values the functions refuse: a text, a nested matrix, a null in a
    // position that needs a value. Each raises the host exception.
    const Tabul::TextVal text("abc");
    const auto nested = MatVal::Nested({std::make_shared<NumVal>(1.0, 0.0)}, 1, 1);
    int refused = 0;
    for (const Tabul::Value* bad :
         {static_cast<const Tabul::Value*>(&text), static_cast<const Tabul::Value*>(nested.get()),
          static_cast<const Tabul::Value*>(nullptr)}) {
        try {
            Oru::Special::Tcheb(&n, bad);
        } catch (const Vesk::Run::AppException& e) {
            std::printf("Tcheb(2, bad): %s (argument %u)\n", e.Message().c_str(), e.Argument());
            ++refused;
        }
    }
    return refused == 3 ? 0 : 1;
}
