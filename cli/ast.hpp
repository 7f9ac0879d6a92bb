#pragma once

// The parsed form of a statement. Every node keeps the byte range of the
// source it came from, so that an error can point at the argument to blame.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/functions.hpp"

namespace OruCli {

struct Node {
    enum class Kind {
        Number,    // re + im i, a literal
        Text,      // text: the literal's contents
        Null,      // the null reference
        Variable,  // text: the variable's name
        Negate,    // - children[0]
        Chain,     // children[0] ops[0] children[1] ops[1] ... left to right
        Call,      // function(children...)
        Matrix,    // rows x cols entries, children in row-major order as written
    };

    Kind kind = Kind::Null;
    std::size_t begin = 0;
    std::size_t end = 0;
    double re = 0.0;
    double im = 0.0;
    std::string text;
    std::vector<Node> children;
    std::vector<char> ops;  // '+', '-', '*' or '/'
    int rows = 0;
    int cols = 0;
    const FunctionInfo* function = nullptr;
};

struct Statement {
    std::optional<std::string> target;  // NAME of NAME := EXPR
    Node expression;
};

}  // namespace OruCli
