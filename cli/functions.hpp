#pragma once

// The functions a statement may call: the library's fourteen and the two
// value builders of the command line, with the number of arguments each
// takes.

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "oru/special.hpp"

namespace OruCli {

enum class Builtin {
    Library,   // one of the entry points of Oru::Special
    Complex,   // complex(RE, IM)
    Linspace,  // linspace(A, B, N)
};

// The library's entry points take up to four arguments; unused slots are
// null (which is exactly how Gamma's omitted second argument is passed).
using LibraryArgs = const Tabul::Value* const*;
using LibraryCall = Oru::Special::Result (*)(LibraryArgs);

struct FunctionInfo {
    std::string_view name;
    std::size_t minArgs;
    std::size_t maxArgs;
    std::string_view usage;  // e.g. "Tcheb(n, x)"
    Builtin builtin;
    LibraryCall call;  // for Builtin::Library only
};

inline constexpr std::size_t kMaxLibraryArgs = 4;

// Every function, the library's fourteen first.
std::span<const FunctionInfo> allFunctions();

// The function of this exact (case-sensitive) name, or null.
const FunctionInfo* findFunction(std::string_view name);

// A function whose name differs from name only in letter case, or null;
// used to suggest the right spelling.
const FunctionInfo* findFunctionIgnoringCase(std::string_view name);

}  // namespace OruCli
