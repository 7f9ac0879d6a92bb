#include "tabul/values.hpp"

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>

namespace Tabul {

namespace {

[[noreturn]] void badShape(const char* what) {
    throw std::invalid_argument(std::string("MatVal: ") + what);
}

// Number of array places a rows x cols matrix with column stride anr starting
// at offset reaches: one past its last element, in 64 bits so that no shape
// can wrap around.
std::int64_t extentOf(const mat_val& shape, std::int64_t offset) {
    if (shape.m_rows == 0 || shape.m_cols == 0) return offset;
    return offset + static_cast<std::int64_t>(shape.m_cols - 1) * shape.m_anr + shape.m_rows;
}

void checkShape(const mat_val& shape, std::int64_t offset, std::size_t size) {
    if (shape.m_rows < 0 || shape.m_cols < 0) badShape("negative dimension");
    if (shape.m_anr < 0) badShape("negative column stride");
    if (shape.m_cols > 1 && shape.m_anr < shape.m_rows) badShape("column stride below the row count");
    if (offset < 0) badShape("negative offset");
    if (extentOf(shape, offset) > static_cast<std::int64_t>(size)) badShape("elements outside the arrays");
}

std::int64_t packedSize(int rows, int cols) {
    if (rows < 0 || cols < 0) badShape("negative dimension");
    return static_cast<std::int64_t>(rows) * cols;
}

}  // namespace

Value::~Value() = default;

// ---- the memory of scalars ----------------------------------------------------

namespace {

// A scalar result is created and freed once per scalar call, which with the
// general allocator costs about as much as a cheap kernel. Each thread keeps
// a few freed scalars' blocks and hands them to the next scalars it creates.
// The store is a plain object, alive as long as its thread; a second
// object's destructor, run when the thread ends, returns the blocks to the
// allocator and closes the store, so that a scalar freed after it goes back
// to the allocator too.
struct ScalarBlocks {
    static constexpr int kKept = 16;
    void* blocks[kKept];
    int count;
    bool registered;  // the closing object exists for this thread
    bool closed;
};

thread_local ScalarBlocks t_scalarBlocks{};

struct ScalarBlocksCloser {
    ~ScalarBlocksCloser() {
        ScalarBlocks& store = t_scalarBlocks;
        store.closed = true;
        while (store.count > 0) ::operator delete(store.blocks[--store.count]);
    }
};

thread_local ScalarBlocksCloser t_scalarBlocksCloser;

// Address and leak checkers see every scalar go through the allocator.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kKeepBlocks = false;
#else
constexpr bool kKeepBlocks = true;
#endif
#else
constexpr bool kKeepBlocks = true;
#endif

}  // namespace

// The kept blocks' way is the likely one, laid out without jumps: a scalar
// is created and freed around a kernel call, after which the processor may
// no longer remember these branches and would mispredict every jump.
void* NumVal::operator new(std::size_t size) {
    ScalarBlocks& store = t_scalarBlocks;
    if (kKeepBlocks && size == sizeof(NumVal) && store.count > 0) [[likely]]
        return store.blocks[--store.count];
    return ::operator new(size);
}

void NumVal::operator delete(void* p, std::size_t size) noexcept {
    ScalarBlocks& store = t_scalarBlocks;
    if (kKeepBlocks && p != nullptr && size == sizeof(NumVal) && !store.closed &&
        store.count < ScalarBlocks::kKept) [[likely]] {
        if (!store.registered) [[unlikely]] {
            store.registered = true;
            static_cast<void>(&t_scalarBlocksCloser);  // constructs it, so that it closes the store
        }
        store.blocks[store.count++] = p;
        return;
    }
    ::operator delete(p);
}

MatVal::MatVal(Array re, std::optional<Array> im, int rows, int cols)
    : MatVal(Checked{}, mat_val{rows, cols, rows}, std::move(re), std::move(im), 0, {}, false) {
    const std::int64_t n = packedSize(rows, cols);
    if (static_cast<std::int64_t>(m_rarr.size()) != n) badShape("real array size is not rows x cols");
    if (m_iarr && static_cast<std::int64_t>(m_iarr->size()) != n)
        badShape("imaginary array size is not rows x cols");
}

MatVal::MatVal(Checked, mat_val shape, Array re, std::optional<Array> im, std::int32_t offset,
               std::vector<Element> elements, bool nested)
    : Data(shape),
      m_rarr(std::move(re)),
      m_iarr(std::move(im)),
      m_offset(offset),
      m_parr(std::move(elements)),
      m_hasPtrs(nested) {}

std::unique_ptr<MatVal> MatVal::View(Array re, std::optional<Array> im, mat_val shape, std::int32_t offset) {
    checkShape(shape, offset, re.size());
    if (im && im->size() != re.size()) badShape("imaginary and real arrays differ in length");
    return std::unique_ptr<MatVal>(
        new MatVal(Checked{}, shape, std::move(re), std::move(im), offset, {}, false));
}

std::unique_ptr<MatVal> MatVal::Nested(std::vector<Element> elements, int rows, int cols) {
    if (static_cast<std::int64_t>(elements.size()) != packedSize(rows, cols))
        badShape("element count is not rows x cols");
    for (const auto& e : elements)
        if (!e) badShape("null element in a nested matrix");
    return std::unique_ptr<MatVal>(
        new MatVal(Checked{}, mat_val{rows, cols, rows}, {}, std::nullopt, 0, std::move(elements), true));
}

std::size_t MatVal::Index(int i, int j) const {
    if (i < 0 || j < 0 || i >= Data.m_rows || j >= Data.m_cols) throw std::out_of_range("MatVal: index");
    return static_cast<std::size_t>(m_offset + static_cast<std::int64_t>(j) * Data.m_anr + i);
}

double MatVal::Re(int i, int j) const {
    if (m_hasPtrs) throw std::logic_error("MatVal: nested matrix has no numbers");
    return m_rarr[Index(i, j)];
}

double MatVal::Im(int i, int j) const {
    const std::size_t k = Index(i, j);
    if (m_hasPtrs) throw std::logic_error("MatVal: nested matrix has no numbers");
    return m_iarr ? (*m_iarr)[k] : 0.0;
}

const Value& MatVal::At(int i, int j) const {
    if (!m_hasPtrs) throw std::logic_error("MatVal: not a nested matrix");
    return *m_parr[Index(i, j)];
}

}  // namespace Tabul
