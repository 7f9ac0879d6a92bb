#pragma once

// The error a kernel raises, as "message@index" (index -1 for none), or
// "no error" when it returns normally.

#include <string>

#include "numeric/core/complex.hpp"
#include "vesk/run/app_exception.hpp"

template <class Kernel, class... Args>
std::string kernelError(Kernel kernel, const Args&... args) {
    Oru::tabulComplex r{0.0, 0.0};
    try {
        kernel(r, args...);
    } catch (const Vesk::Run::AppException& e) {
        return e.Message() + "@" + std::to_string(static_cast<int>(e.Argument()));
    }
    return "no error";
}
