// The smallest host: evaluate Tcheb(3, [0.5; 1; 2]) and read the result.
#include <oru/special.hpp>

#include <cstdio>
#include <memory>

int main() {
    // The arguments belong to the host; the library only reads them.
    const Tabul::NumVal degree(3.0, 0.0);
    const Tabul::MatVal points({0.5, 1.0, 2.0}, std::nullopt, 3, 1);

    // The result is a new value, and the caller owns it.
    const std::unique_ptr<Tabul::Value> result = Oru::Special::Tcheb(&degree, &points);

    // A vector argument gives a matrix of the same shape; real here, because
    // every input and every element's result is real.
    const auto* values = dynamic_cast<const Tabul::MatVal*>(result.get());
    if (values == nullptr || values->HasImag() || values->Data.m_rows != 3) return 1;
    for (int i = 0; i < values->Data.m_rows; ++i)
        std::printf("T3(%g) = %g\n", points.Re(i, 0), values->Re(i, 0));
    return values->Re(2, 0) == 26.0 ? 0 : 1;
}
