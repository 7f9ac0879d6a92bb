#pragma once

// Values as the command line holds them, the variables of a session, and
// the evaluation of parsed expressions.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ast.hpp"
#include "cli/syntax_error.hpp"
#include "tabul/values.hpp"

namespace OruCli {

// A host value (null for the null reference) together with what bounds the
// work of printing it: the count of numbers, texts and nulls it holds in
// all, and how many levels of nested matrices it has (0 for anything else).
struct Held {
    std::shared_ptr<const Tabul::Value> value;
    std::uint64_t leaves = 1;
    int depth = 0;
};

// Limits that keep every value printable in bounded time and stack.
inline constexpr std::uint64_t kMaxElements = 10'000'000;
inline constexpr int kMaxValueDepth = 32;

// An evaluation that failed: the message, the 1-based argument position for
// the JSON record (-1 for none) and the bytes [begin, end) of the statement
// to mark for people.
struct EvalError {
    std::string message;
    long argument = -1;
    std::string function;  // the function that raised it, if any
    std::size_t begin = 0;
    std::size_t end = 0;
};

class Session {
public:
    // Checks that every variable the expression reads is defined; throws
    // SyntaxError for the first that is not.
    void checkNames(const Node& expression) const;

    // The value of a parsed expression. Throws EvalError.
    Held evaluate(const Node& expression) const;

    void define(const std::string& name, Held value) { variables_[name] = std::move(value); }
    const Held* lookup(std::string_view name) const;

    // The names defined so far, in alphabetical order.
    std::vector<std::string> variableNames() const {
        std::vector<std::string> names;
        for (const auto& entry : variables_) names.push_back(entry.first);
        return names;
    }

    // Prefix for messages to people, e.g. "line 12: "; empty by default.
    std::string location;

private:
    std::map<std::string, Held, std::less<>> variables_;
};

}  // namespace OruCli
