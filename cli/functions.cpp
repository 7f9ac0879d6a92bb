#include "cli/functions.hpp"

#include <array>

namespace OruCli {

namespace {

using S = Oru::Special;

constexpr std::array<FunctionInfo, 16> Functions{{
    {"Ber", 2, 2, "Ber(n, x)", Builtin::Library, [](LibraryArgs a) { return S::Ber(a[0], a[1]); }},
    {"Bei", 2, 2, "Bei(n, x)", Builtin::Library, [](LibraryArgs a) { return S::Bei(a[0], a[1]); }},
    {"Fhyper", 4, 4, "Fhyper(a, b, c, x)", Builtin::Library,
     [](LibraryArgs a) { return S::Fhyper(a[0], a[1], a[2], a[3]); }},
    {"Mhyper", 3, 3, "Mhyper(a, b, x)", Builtin::Library,
     [](LibraryArgs a) { return S::Mhyper(a[0], a[1], a[2]); }},
    {"Ibeta", 3, 3, "Ibeta(x, a, b)", Builtin::Library,
     [](LibraryArgs a) { return S::Ibeta(a[0], a[1], a[2]); }},
    {"Igamma", 2, 2, "Igamma(a, x)", Builtin::Library, [](LibraryArgs a) { return S::Igamma(a[0], a[1]); }},
    {"Gamma", 1, 2, "Gamma(z) or Gamma(a, x)", Builtin::Library,
     [](LibraryArgs a) { return S::Gamma(a[0], a[1]); }},
    {"LnGamma", 1, 1, "LnGamma(z)", Builtin::Library, [](LibraryArgs a) { return S::LnGamma(a[0]); }},
    {"Jac", 4, 4, "Jac(n, alpha, beta, x)", Builtin::Library,
     [](LibraryArgs a) { return S::Jac(a[0], a[1], a[2], a[3]); }},
    {"Her", 2, 2, "Her(n, x)", Builtin::Library, [](LibraryArgs a) { return S::Her(a[0], a[1]); }},
    {"Lag", 2, 2, "Lag(n, x)", Builtin::Library, [](LibraryArgs a) { return S::Lag(a[0], a[1]); }},
    {"Leg", 2, 2, "Leg(n, x)", Builtin::Library, [](LibraryArgs a) { return S::Leg(a[0], a[1]); }},
    {"Tcheb", 2, 2, "Tcheb(n, x)", Builtin::Library, [](LibraryArgs a) { return S::Tcheb(a[0], a[1]); }},
    {"Ucheb", 2, 2, "Ucheb(n, x)", Builtin::Library, [](LibraryArgs a) { return S::Ucheb(a[0], a[1]); }},
    {"complex", 2, 2, "complex(re, im)", Builtin::Complex, nullptr},
    {"linspace", 3, 3, "linspace(a, b, n)", Builtin::Linspace, nullptr},
}};

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(std::string_view x, std::string_view y) {
    if (x.size() != y.size()) return false;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (lower(x[k]) != lower(y[k])) return false;
    return true;
}

}  // namespace

const FunctionInfo* findFunction(std::string_view name) {
    for (const auto& f : Functions)
        if (f.name == name) return &f;
    return nullptr;
}

const FunctionInfo* findFunctionIgnoringCase(std::string_view name) {
    for (const auto& f : Functions)
        if (equalIgnoringCase(f.name, name)) return &f;
    return nullptr;
}

}  // namespace OruCli
