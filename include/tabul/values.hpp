#pragma once

// The worksheet's values as the library reads and builds them: the complex
// scalar NumVal, the real or complex matrix MatVal (column-major, read through
// an offset and a column stride), a text value, and the null reference that
// stands for an omitted argument. Every value is immutable once built, and a
// MatVal validates its shape against its arrays when it is built, so no
// reader that keeps to the index rule can step outside them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "oru/export.hpp"

namespace Tabul {

// A complex scalar: real part rp, imaginary part ip (0.0 for a real scalar).
struct num_val {
    double rp = 0.0;
    double ip = 0.0;
};

// The shape of a matrix: rows, columns, and the column stride (array places
// from the start of one column to the start of the next).
struct mat_val {
    std::int32_t m_rows = 0;
    std::int32_t m_cols = 0;
    std::int32_t m_anr = 0;
};

// Any host value. Entry points take `const Value*` (null allowed) and tell the
// kinds apart with dynamic_cast.
class ORU_SPECIAL_API Value {
public:
    virtual ~Value();
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

protected:
    Value() = default;
};

class ORU_SPECIAL_API NumVal final : public Value {
public:
    NumVal() = default;
    NumVal(double rp, double ip) : Data{rp, ip} {}
    num_val Data{};

    // Scalars come and go once per scalar call: each thread keeps a few freed
    // scalars' memory for the next ones.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
};

// A host value of another kind, which no function accepts.
class ORU_SPECIAL_API TextVal final : public Value {
public:
    explicit TextVal(std::string text) : m_text(std::move(text)) {}
    const std::string& Text() const noexcept { return m_text; }

private:
    std::string m_text;
};

class ORU_SPECIAL_API MatVal final : public Value {
public:
    using Array = std::vector<double>;
    using Element = std::shared_ptr<const Value>;

    // Builds a rows x cols matrix from packed column-major arrays (row i,
    // column j at j * rows + i) of exactly rows * cols doubles, and takes
    // them over. No imaginary array makes a real matrix. Throws
    // std::invalid_argument when the sizes do not fit.
    MatVal(Array re, std::optional<Array> im, int rows, int cols);

    // A view into larger arrays: element (i, j) at offset + j * anr + i.
    // Throws std::invalid_argument unless every element lies inside both
    // arrays (and the arrays have the same length).
    static std::unique_ptr<MatVal> View(Array re, std::optional<Array> im, mat_val shape,
                                        std::int32_t offset);

    // A matrix whose elements are host values themselves (HasPtrs is true),
    // rows x cols of them in column-major order, none of them null.
    static std::unique_ptr<MatVal> Nested(std::vector<Element> elements, int rows, int cols);

    bool HasImag() const noexcept { return m_iarr.has_value(); }
    bool HasPtrs() const noexcept { return m_hasPtrs; }

    // Bounds-checked readers for tools and tests (the engine walks the
    // arrays itself): the number at row i, column j, and a nested element.
    double Re(int i, int j) const;
    double Im(int i, int j) const;
    const Value& At(int i, int j) const;

    const mat_val Data;
    const Array m_rarr;
    const std::optional<Array> m_iarr;
    const std::int32_t m_offset;
    const std::vector<Element> m_parr;

private:
    struct Checked {};
    MatVal(Checked, mat_val shape, Array re, std::optional<Array> im, std::int32_t offset,
           std::vector<Element> elements, bool nested);
    std::size_t Index(int i, int j) const;

    const bool m_hasPtrs;
};

}  // namespace Tabul
