#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

#include "cli/session.hpp"
#include "numeric/core/complex.hpp"
#include "vesk/run/app_exception.hpp"

namespace OruCli {

namespace {

using Tabul::MatVal;
using Tabul::NumVal;
using Tabul::TextVal;
using Tabul::Value;

[[noreturn]] void failAt(std::string message, std::size_t begin, std::size_t end) {
    throw EvalError{std::move(message), -1, {}, begin, end};
}

[[noreturn]] void fail(std::string message, const Node& at, long argument = -1, std::string function = {}) {
    throw EvalError{std::move(message), argument, std::move(function), at.begin, at.end};
}

std::string describe(const Held& h) {
    const Value* v = h.value.get();
    if (v == nullptr) return "null";
    if (dynamic_cast<const NumVal*>(v) != nullptr) return "a scalar";
    if (dynamic_cast<const TextVal*>(v) != nullptr) return "a text";
    if (const auto* m = dynamic_cast<const MatVal*>(v)) {
        const std::string shape = std::to_string(m->Data.m_rows) + " x " + std::to_string(m->Data.m_cols);
        return m->HasPtrs() ? "a nested " + shape + " matrix" : "a " + shape + " matrix";
    }
    return "a value of an unknown kind";
}

Held scalar(double re, double im) {
    return Held{std::make_shared<NumVal>(re, im), 1, 0};
}

std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b) {
    return a > kMaxElements || b > kMaxElements ? kMaxElements + 1 : a + b;
}

// Complex arithmetic in IEEE doubles. A scalar whose imaginary part equals
// 0.0 is taken as real, as the library does, so that real operands never
// meet an infinity times zero (inf * 2 is inf, not inf + nan i).
bool isReal(const Tabul::num_val& z) {
    return z.ip == 0.0;
}

Tabul::num_val multiply(const Tabul::num_val& x, const Tabul::num_val& y) {
    if (isReal(x) && isReal(y)) return {x.rp * y.rp, 0.0};
    if (isReal(y)) return {x.rp * y.rp, x.ip * y.rp};
    if (isReal(x)) return {x.rp * y.rp, x.rp * y.ip};
    return {x.rp * y.rp - x.ip * y.ip, x.rp * y.ip + x.ip * y.rp};
}

// Smith's division, as the library's kernels divide: scaling by the larger
// part of the divisor keeps the intermediate products from overflowing where
// the quotient does not.
Tabul::num_val divide(const Tabul::num_val& x, const Tabul::num_val& y) {
    if (isReal(y)) return {x.rp / y.rp, isReal(x) ? 0.0 : x.ip / y.rp};
    const Oru::tabulComplex q = Oru::complexQuotient({x.rp, x.ip}, {y.rp, y.ip});
    return {q.re, q.im};
}

Tabul::num_val combine(char op, const Tabul::num_val& x, const Tabul::num_val& y) {
    switch (op) {
        case '+':
            return {x.rp + y.rp, x.ip + y.ip};
        case '-':
            return {x.rp - y.rp, x.ip - y.ip};
        case '*':
            return multiply(x, y);
        default:
            return divide(x, y);
    }
}

const NumVal* asScalar(const Held& h) {
    return dynamic_cast<const NumVal*>(h.value.get());
}
const MatVal* asMatrix(const Held& h) {
    return dynamic_cast<const MatVal*>(h.value.get());
}

// The library's exception carries the 1-based argument position, or
// 0xFFFFFFFF for none.
long argumentPosition(std::uint32_t argument) {
    return argument == Vesk::Run::AppException::NoArgument ? -1 : static_cast<long>(argument);
}

bool hasNonzeroImaginary(const MatVal& m) {
    if (!m.HasImag()) return false;
    for (int i = 0; i < m.Data.m_rows; ++i)
        for (int j = 0; j < m.Data.m_cols; ++j)
            if (!(m.Im(i, j) == 0.0)) return true;
    return false;
}

class Evaluator {
public:
    explicit Evaluator(const Session& session) : session_(session) {}

    Held eval(const Node& n) {
        switch (n.kind) {
            case Node::Kind::Number:
                return scalar(n.re, n.im);
            case Node::Kind::Text:
                return Held{std::make_shared<TextVal>(n.text), 1, 0};
            case Node::Kind::Null:
                return Held{nullptr, 1, 0};
            case Node::Kind::Variable: {
                const Held* h = session_.lookup(n.text);
                if (h == nullptr) fail("unknown name '" + n.text + "'", n);
                return *h;
            }
            case Node::Kind::Negate:
                return negate(n);
            case Node::Kind::Chain:
                return chain(n);
            case Node::Kind::Call:
                return call(n);
            case Node::Kind::Matrix:
                return matrix(n);
        }
        fail("unknown expression", n);
    }

private:
    // Arithmetic is defined on scalars only; the error marks the operand
    // (the bytes [begin, end)) that is not one.
    static const NumVal& scalarOperand(const Held& h, std::size_t begin, std::size_t end, const char* op,
                                       const char* side) {
        const NumVal* z = asScalar(h);
        if (z == nullptr)
            failAt(std::string("'") + op + "' works on scalars only, but the " + side + " is " + describe(h),
                   begin, end);
        return *z;
    }

    Held negate(const Node& n) {
        const Held operand = eval(n.children[0]);
        const NumVal& z = scalarOperand(operand, n.children[0].begin, n.children[0].end, "-", "operand");
        return scalar(-z.Data.rp, -z.Data.ip);
    }

    Held chain(const Node& n) {
        Held left = eval(n.children[0]);
        for (std::size_t k = 0; k < n.ops.size(); ++k) {
            const char op[2] = {n.ops[k], '\0'};
            const Held right = eval(n.children[k + 1]);
            const Node& r = n.children[k + 1];
            const NumVal& x = scalarOperand(left, n.begin, n.children[k].end, op, "left operand");
            const NumVal& y = scalarOperand(right, r.begin, r.end, op, "right operand");
            const Tabul::num_val z = combine(n.ops[k], x.Data, y.Data);
            left = scalar(z.rp, z.ip);
        }
        return left;
    }

    Held call(const Node& n) {
        std::vector<Held> args;
        args.reserve(n.children.size());
        for (const Node& child : n.children) args.push_back(eval(child));
        switch (n.function->builtin) {
            case Builtin::Complex:
                return complexOf(n, args);
            case Builtin::Linspace:
                return linspace(n, args);
            case Builtin::Library:
                break;
        }
        return callLibrary(n, args);
    }

    Held callLibrary(const Node& n, const std::vector<Held>& args) {
        std::array<const Value*, kMaxLibraryArgs> raw{};
        for (std::size_t k = 0; k < args.size() && k < raw.size(); ++k) raw[k] = args[k].value.get();
        const std::string name(n.function->name);
        std::unique_ptr<Value> result;
        try {
            result = n.function->call(raw.data());
        } catch (const Vesk::Run::AppException& e) {
            const long position = argumentPosition(e.Argument());
            const bool names = position >= 1 && static_cast<std::size_t>(position) <= n.children.size();
            fail(e.Message(), names ? n.children[static_cast<std::size_t>(position) - 1] : n, position, name);
        } catch (const std::bad_alloc&) {
            fail("out of memory", n, -1, name);
        } catch (const std::exception& e) {
            fail(std::string("internal error: ") + e.what(), n, -1, name);
        }
        if (!result) fail("internal error: the function returned no value", n, -1, name);
        Held held{std::shared_ptr<const Value>(std::move(result)), 1, 0};
        if (const MatVal* m = asMatrix(held)) {
            held.leaves = static_cast<std::uint64_t>(std::max(m->Data.m_rows, 0)) *
                          static_cast<std::uint64_t>(std::max(m->Data.m_cols, 0));
            held.depth = m->HasPtrs() ? 1 : 0;
        }
        return held;
    }

    // complex(re, im): a scalar with exactly these parts, or a complex
    // vector whose imaginary array is im, kept even when it is all zero.
    Held complexOf(const Node& n, const std::vector<Held>& args) {
        const std::string name = "complex";
        for (std::size_t k = 0; k < 2; ++k)
            if (asScalar(args[k]) == nullptr && asMatrix(args[k]) == nullptr)
                fail("must be a scalar or a vector", n.children[k], static_cast<long>(k + 1), name);
        const NumVal* re = asScalar(args[0]);
        const NumVal* im = asScalar(args[1]);
        if (re != nullptr && im != nullptr) {
            if (!isReal(re->Data)) fail("must be real", n.children[0], 1, name);
            if (!isReal(im->Data)) fail("must be real", n.children[1], 2, name);
            return scalar(re->Data.rp, im->Data.rp);
        }
        if (re != nullptr || im != nullptr)
            fail("takes two scalars or two vectors of the same length", n, -1, name);
        const MatVal* parts[2] = {asMatrix(args[0]), asMatrix(args[1])};
        for (std::size_t k = 0; k < 2; ++k) {
            const long position = static_cast<long>(k + 1);
            if (parts[k]->HasPtrs()) fail("may not be nested", n.children[k], position, name);
            if (parts[k]->Data.m_cols != 1) fail("must be vector", n.children[k], position, name);
            if (hasNonzeroImaginary(*parts[k])) fail("must be real", n.children[k], position, name);
        }
        const int rows = parts[0]->Data.m_rows;
        if (parts[1]->Data.m_rows != rows) fail("array size mismatch", n, -1, name);
        MatVal::Array reArray(static_cast<std::size_t>(rows));
        MatVal::Array imArray(static_cast<std::size_t>(rows));
        for (int i = 0; i < rows; ++i) {
            reArray[static_cast<std::size_t>(i)] = parts[0]->Re(i, 0);
            imArray[static_cast<std::size_t>(i)] = parts[1]->Re(i, 0);
        }
        return Held{std::make_shared<MatVal>(std::move(reArray), std::move(imArray), rows, 1),
                    static_cast<std::uint64_t>(rows), 0};
    }

    double finiteRealArg(const Node& n, const std::vector<Held>& args, std::size_t k) {
        const NumVal* z = asScalar(args[k]);
        const long position = static_cast<long>(k + 1);
        if (z == nullptr || !isReal(z->Data))
            fail("must be a real scalar", n.children[k], position, "linspace");
        if (!std::isfinite(z->Data.rp)) fail("must be finite", n.children[k], position, "linspace");
        return z->Data.rp;
    }

    // linspace(a, b, n): n equally spaced points from a to b, both ends
    // exact. Each point is (1 - t) a + t b with t = k / (n - 1), which never
    // overflows for finite ends, unlike a + k (b - a).
    Held linspace(const Node& n, const std::vector<Held>& args) {
        const double a = finiteRealArg(n, args, 0);
        const double b = finiteRealArg(n, args, 1);
        const double count = finiteRealArg(n, args, 2);
        if (count != std::floor(count)) fail("must be an integer", n.children[2], 3, "linspace");
        if (count < 0.0 || count > static_cast<double>(kMaxElements))
            fail("must be between 0 and " + std::to_string(kMaxElements), n.children[2], 3, "linspace");
        const std::size_t points = static_cast<std::size_t>(count);
        MatVal::Array values(points);
        for (std::size_t k = 0; k < points; ++k) {
            if (k == 0) {
                values[k] = a;
            } else if (k + 1 == points) {
                values[k] = b;
            } else {
                const double t = static_cast<double>(k) / static_cast<double>(points - 1);
                values[k] = (1.0 - t) * a + t * b;
            }
        }
        const int rows = static_cast<int>(points);
        return Held{std::make_shared<MatVal>(std::move(values), std::nullopt, rows, 1), points, 0};
    }

    // [...]: a numeric matrix when every entry is a scalar, with an
    // imaginary array exactly when some entry's imaginary part is not 0.0;
    // otherwise a nested matrix of the entries themselves.
    Held matrix(const Node& n) {
        std::vector<Held> entries;
        entries.reserve(n.children.size());
        for (const Node& child : n.children) entries.push_back(eval(child));
        const auto rows = static_cast<std::size_t>(n.rows);
        const auto cols = static_cast<std::size_t>(n.cols);
        const auto at = [&](std::size_t i, std::size_t j) -> const Held& { return entries[i * cols + j]; };
        const bool numeric =
            std::all_of(entries.begin(), entries.end(), [](const Held& h) { return asScalar(h) != nullptr; });
        if (numeric) {
            MatVal::Array re(rows * cols);
            MatVal::Array im(rows * cols);
            bool complex = false;
            for (std::size_t i = 0; i < rows; ++i)
                for (std::size_t j = 0; j < cols; ++j) {
                    const Tabul::num_val& z = asScalar(at(i, j))->Data;
                    re[j * rows + i] = z.rp;
                    im[j * rows + i] = z.ip;
                    complex = complex || !(z.ip == 0.0);
                }
            std::optional<MatVal::Array> imaginary;
            if (complex) imaginary = std::move(im);
            return Held{std::make_shared<MatVal>(std::move(re), std::move(imaginary), n.rows, n.cols),
                        rows * cols, 0};
        }
        std::vector<MatVal::Element> elements(rows * cols);
        std::uint64_t leaves = 0;
        int depth = 0;
        for (std::size_t i = 0; i < rows; ++i)
            for (std::size_t j = 0; j < cols; ++j) {
                const Held& h = at(i, j);
                if (!h.value) fail("null cannot be a matrix entry", n.children[i * cols + j]);
                elements[j * rows + i] = h.value;
                leaves = saturatingAdd(leaves, h.leaves);
                depth = std::max(depth, h.depth);
            }
        if (depth + 1 > kMaxValueDepth)
            fail("matrices may be nested at most " + std::to_string(kMaxValueDepth) + " levels deep", n);
        if (leaves > kMaxElements)
            fail("a matrix may hold at most " + std::to_string(kMaxElements) + " values in all", n);
        return Held{MatVal::Nested(std::move(elements), n.rows, n.cols), leaves, depth + 1};
    }

    const Session& session_;
};

std::string suggestionFor(const std::string& name) {
    if (name == "i" || name == "j") return " (write 1i for the imaginary unit)";
    for (const char* word : {"inf", "nan", "null"}) {
        std::string lowered = name;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lowered == word) return std::string(" (did you mean ") + word + "?)";
    }
    if (const FunctionInfo* f = findFunctionIgnoringCase(name))
        return " (did you mean " + std::string(f->usage) + "?)";
    return "";
}

void checkNamesIn(const Node& n, const Session& session) {
    if (n.kind == Node::Kind::Variable && session.lookup(n.text) == nullptr)
        throw SyntaxError{"unknown name '" + n.text + "'" + suggestionFor(n.text), n.begin, n.end};
    for (const Node& child : n.children) checkNamesIn(child, session);
}

}  // namespace

void Session::checkNames(const Node& expression) const {
    checkNamesIn(expression, *this);
}

Held Session::evaluate(const Node& expression) const {
    return Evaluator(*this).eval(expression);
}

const Held* Session::lookup(std::string_view name) const {
    const auto it = variables_.find(name);
    return it == variables_.end() ? nullptr : &it->second;
}

}  // namespace OruCli
