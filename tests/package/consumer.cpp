// A minimal host: builds values, calls two functions, owns the results and
// marks the argument of an error.
#include <oru/special.hpp>

#include <cstdio>
#include <memory>

int main() {
    const Tabul::NumVal degree(3.0, 0.0);
    const Tabul::MatVal points({0.5, 1.0, 2.0}, std::nullopt, 3, 1);
    const std::unique_ptr<Tabul::Value> result = Oru::Special::Tcheb(&degree, &points);
    const auto* values = dynamic_cast<const Tabul::MatVal*>(result.get());
    if (values == nullptr || values->HasImag() || values->Re(2, 0) != 26.0) {
        std::puts("unexpected result");
        return 1;
    }
    try {
        const Tabul::NumVal bad(2.5, 0.0);
        Oru::Special::Tcheb(&bad, &points);
        std::puts("no error raised");
        return 1;
    } catch (const Vesk::Run::AppException& e) {
        if (e.Message() != "must be integer" || e.Argument() != 1) return 1;
    }
    std::puts("consumer ok");
    return 0;
}
