#include "cli/functions.hpp"

#include <algorithm>
#include <array>

#include "host/functions.hpp"

namespace OruCli {

namespace {

using Oru::Host::isLastForm;
using Oru::Host::kFunctionCount;
using Oru::Host::kFunctionForms;

// The usage text of a library function: its forms joined by " or ".
struct UsageText {
    std::array<char, 48> text{};
    std::size_t size = 0;
    constexpr void append(std::string_view s) {
        for (const char c : s) text[size++] = c;
    }
};

// Read in constant expressions only: the table's kernel column is internal
// to the library.
constexpr std::array<UsageText, kFunctionCount> kUsages = [] {
    std::array<UsageText, kFunctionCount> usages{};
    std::size_t k = 0;
    for (std::size_t row = 0; row < kFunctionForms.size(); ++row) {
        if (usages[k].size != 0) usages[k].append(" or ");
        usages[k].append(kFunctionForms[row].signature);
        if (isLastForm(row)) ++k;
    }
    return usages;
}();

// The library's functions, each called through its widest form (the slots
// of omitted arguments are null), and the two value builders.
constexpr std::array<FunctionInfo, kFunctionCount + 2> kFunctions = [] {
    std::array<FunctionInfo, kFunctionCount + 2> functions{};
    std::size_t k = 0;
    std::size_t minArgs = kMaxLibraryArgs;
    for (std::size_t row = 0; row < kFunctionForms.size(); ++row) {
        const auto& form = kFunctionForms[row];
        minArgs = std::min(minArgs, form.arity);
        if (!isLastForm(row)) continue;
        const std::string_view usage(kUsages[k].text.data(), kUsages[k].size);
        functions[k++] = {form.name, minArgs, form.arity, usage, Builtin::Library, form.call};
        minArgs = kMaxLibraryArgs;
    }
    functions[k++] = {"complex", 2, 2, "complex(re, im)", Builtin::Complex, nullptr};
    functions[k] = {"linspace", 3, 3, "linspace(a, b, n)", Builtin::Linspace, nullptr};
    return functions;
}();

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

std::span<const FunctionInfo> allFunctions() {
    return kFunctions;
}

const FunctionInfo* findFunction(std::string_view name) {
    for (const auto& f : kFunctions)
        if (f.name == name) return &f;
    return nullptr;
}

const FunctionInfo* findFunctionIgnoringCase(std::string_view name) {
    for (const auto& f : kFunctions)
        if (equalIgnoringCase(f.name, name)) return &f;
    return nullptr;
}

}  // namespace OruCli
