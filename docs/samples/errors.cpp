// Catching the library's errors and marking the argument they name.
#include <oru/special.hpp>

#include <cstdio>
#include <string>

namespace {

// What a worksheet would show: the message, and which argument to mark.
std::string describe(const Vesk::Run::AppException& e) {
    std::string text = e.Message();
    // Two messages contain TAB characters between their words.
    for (char& c : text)
        if (c == '\t') c = ' ';
    if (e.Argument() == Vesk::Run::AppException::NoArgument) return text + " (no single argument)";
    return text + " (argument " + std::to_string(e.Argument()) + ")";
}

}  // namespace

int main() {
    const Tabul::NumVal x(1.5, 0.0), a(2.0, 0.0), b(3.0, 0.0);
    try {
        Oru::Special::Ibeta(&x, &a, &b);  // I_x(a, b) needs 0 <= x <= 1
        return 1;
    } catch (const Vesk::Run::AppException& e) {
        std::printf("Ibeta(1.5, 2, 3): %s\n", describe(e).c_str());
        if (e.Message() != "must be between\t0\t1" || e.Argument() != 1) return 1;
    }

    // An error inside a vectorized call ends the whole call: no partial result.
    const Tabul::MatVal degrees({1.0, 2.0, 2.5}, std::nullopt, 3, 1);
    try {
        Oru::Special::Ucheb(&degrees, &x);
        return 1;
    } catch (const Vesk::Run::AppException& e) {
        std::printf("Ucheb([1; 2; 2.5], 1.5): %s\n", describe(e).c_str());
        if (e.Argument() != 1) return 1;
    }

    // Errors below the argument checks name no argument.
    const Tabul::NumVal n(0.0, 0.0), far(2000.0, 0.0);
    try {
        Oru::Special::Ber(&n, &far);
        return 1;
    } catch (const Vesk::Run::AppException& e) {
        std::printf("Ber(0, 2000): %s\n", describe(e).c_str());
        if (e.Argument() != 0xFFFFFFFFu) return 1;
    }
    return 0;
}
