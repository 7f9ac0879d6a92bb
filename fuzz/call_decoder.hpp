#pragma once

// Turns arbitrary bytes into one call of an entry point with arguments of
// any kind: the null reference, text, scalars of any bit pattern, and
// matrices of any shape - packed or views with an offset and a column
// stride, real or complex, nested or not. Missing bytes read as 0, so every
// input decodes, and the same bytes always decode to the same call.
//
// Layout: function byte, flag byte, then the arguments in host order. Each
// value starts with a kind byte; numbers start with a mode byte that picks
// a value from a table of edge cases, a small integer (optionally nudged by
// about the integer tolerance), a ratio, or 8 raw bytes.

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "fuzz/entry_points.hpp"
#include "tabul/values.hpp"

namespace OruFuzz {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_next < m_size ? m_data[m_next++] : 0; }

    std::uint64_t bits64() {
        std::uint64_t bits = 0;
        for (int k = 0; k < 8; ++k) bits |= std::uint64_t{byte()} << (8 * k);
        return bits;
    }

    double rawDouble() {
        const std::uint64_t bits = bits64();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        return x;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_next = 0;
};

inline double fromBits(std::uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// Values at which the library's rules change: zeros of both signs, the
// integer tolerance, the 32-bit range, the branch points of the gamma and
// hypergeometric routines, the ends of the double range, and NaNs.
inline const std::array<double, 56> kEdgeValues{0.0,
                                                -0.0,
                                                1.0,
                                                -1.0,
                                                0.5,
                                                -0.5,
                                                2.0,
                                                3.0,
                                                -2.0,
                                                -3.0,
                                                1e-10,
                                                1e-12,
                                                -1e-12,
                                                0.99999999999,
                                                1.00000000001,
                                                2.99999999999,
                                                2.95,
                                                2.05,
                                                2147483647.0,
                                                2147483648.0,
                                                -2147483648.0,
                                                -2147483649.0,
                                                2147483646.9999999,
                                                1e300,
                                                -1e300,
                                                std::numeric_limits<double>::max(),
                                                -std::numeric_limits<double>::max(),
                                                std::numeric_limits<double>::min(),
                                                std::numeric_limits<double>::denorm_min(),
                                                -std::numeric_limits<double>::denorm_min(),
                                                std::numeric_limits<double>::infinity(),
                                                -std::numeric_limits<double>::infinity(),
                                                std::numeric_limits<double>::quiet_NaN(),
                                                -std::numeric_limits<double>::quiet_NaN(),
                                                fromBits(0x7FF0000000000001u) /* signalling */,
                                                0.75,
                                                -0.7,
                                                0.9999999999999999,
                                                -0.9999999999999999,
                                                1e307,
                                                11355.830259113583,
                                                11356.0,
                                                -34.0,
                                                -33.0,
                                                33.0,
                                                171.7,
                                                1754.0,
                                                5.92,
                                                16.0,
                                                1e-300,
                                                65.0,
                                                -50.0,
                                                100.0,
                                                20000.0,
                                                2.220446049250313e-16,
                                                1.4411518807585587e17};

// Offsets that put a number just inside or just outside the integer
// tolerance, or far from any integer.
inline const std::array<double, 12> kNudges{1e-11, -1e-11, 5e-11, -5e-11, 1e-10, -1e-10,
                                            2e-10, -2e-10, 0.05,  0.1,    0.5,   0.9};

inline double decodeNumber(ByteReader& r) {
    const std::uint8_t mode = r.byte();
    switch (mode % 8) {
        case 0:
        case 1:
        case 2:
            return kEdgeValues[r.byte() % kEdgeValues.size()];
        case 3:
            return static_cast<std::int8_t>(r.byte());
        case 4: {
            const double n = static_cast<std::int8_t>(r.byte());
            return n + kNudges[r.byte() % kNudges.size()];
        }
        case 5: {
            const std::int16_t numerator = static_cast<std::int16_t>(r.byte() | (r.byte() << 8));
            return static_cast<double>(numerator) / (static_cast<double>(r.byte()) + 1.0);
        }
        default:
            return r.rawDouble();
    }
}

// Degrees are kept below 4096 in magnitude unless the call's flag asks for
// wide degrees: the recurrences cost one step per unit.
inline double decodeDegree(ByteReader& r, bool wide) {
    const double x = decodeNumber(r);
    if (wide || !std::isfinite(x) || std::fabs(x) < 4096.0) return x;
    return std::fmod(x, 4096.0);
}

// Mostly real: the imaginary part is +0.0 or -0.0 unless the byte asks for
// a number.
inline double decodeImaginary(ByteReader& r) {
    const std::uint8_t mode = r.byte() % 8;
    if (mode < 5) return 0.0;
    if (mode == 5) return -0.0;
    return decodeNumber(r);
}

struct ValueDecoder {
    ByteReader& reader;
    bool wideDegrees;
    int elementsLeft = 64;  // elements of all matrices of one call together
    bool madeView = false;

    using Held = std::shared_ptr<const Tabul::Value>;

    // A value and its packed twin: the same value with every view replaced
    // by a packed copy of its elements (the same pointer when there is no
    // view). Both must give the same outcome.
    struct Pair {
        Held value;
        Held packed;
    };

    Pair value(int depth, bool degree) {
        const std::uint8_t kind = reader.byte() % 16;
        if (kind == 0) return {};
        if (kind == 1) {
            Held text = std::make_shared<Tabul::TextVal>("text");
            return {text, text};
        }
        if (kind <= 8) {
            const double re = degree ? decodeDegree(reader, wideDegrees) : decodeNumber(reader);
            Held s = std::make_shared<Tabul::NumVal>(re, decodeImaginary(reader));
            return {s, s};
        }
        return matrix(depth, degree);
    }

    Pair matrix(int depth, bool degree) {
        const std::uint8_t head = reader.byte();
        const bool complex = (head & 1) != 0;
        const bool nested = (head & 2) != 0 && (head & 4) != 0 && depth < 2;
        const bool view = (head & 8) != 0;
        const int colsChoice = (head >> 4) & 3;
        const int cols = colsChoice < 2 ? 1 : colsChoice == 2 ? 0 : 2 + reader.byte() % 2;
        int rows = reader.byte() % 65;
        if (cols > 0) rows = std::min(rows, std::max(elementsLeft, 0) / cols);
        elementsLeft -= rows * cols;
        if (nested) return nestedMatrix(rows, cols, depth);
        if (view) return viewMatrix(head, rows, cols, complex, degree);
        Tabul::MatVal::Array re(static_cast<std::size_t>(rows * cols));
        std::optional<Tabul::MatVal::Array> im;
        if (complex) im.emplace(re.size());
        for (std::size_t k = 0; k < re.size(); ++k) element(re, im, k, degree);
        Held m = std::make_shared<Tabul::MatVal>(std::move(re), std::move(im), rows, cols);
        return {m, m};
    }

    void element(Tabul::MatVal::Array& re, std::optional<Tabul::MatVal::Array>& im, std::size_t k,
                 bool degree) {
        re[k] = degree ? decodeDegree(reader, wideDegrees) : decodeNumber(reader);
        if (im) (*im)[k] = decodeImaginary(reader);
    }

    Pair nestedMatrix(int rows, int cols, int depth) {
        std::vector<Tabul::MatVal::Element> items;
        for (int k = 0; k < rows * cols; ++k) {
            Held item = value(depth + 1, false).value;
            items.push_back(item ? item : std::make_shared<Tabul::NumVal>(0.0, 0.0));
        }
        Held m = Tabul::MatVal::Nested(std::move(items), rows, cols);
        return {m, m};
    }

    // A view into larger arrays. The places between and around the elements
    // hold a signalling NaN, so that reading one by mistake changes the
    // outcome against the packed twin. Rarely the arrays are made too short
    // for the shape: the constructor then refuses the view.
    Pair viewMatrix(std::uint8_t head, int rows, int cols, bool complex, bool degree) {
        const std::int32_t offset = reader.byte() % 8;
        const std::uint8_t strideByte = reader.byte();
        std::int32_t anr = rows + strideByte % 4;
        if (cols == 1 && (strideByte & 0x80) != 0) anr = strideByte % 8;  // any stride: one column
        std::int64_t extent = offset + std::int64_t{cols > 0 ? cols - 1 : 0} * anr + (cols > 0 ? rows : 0);
        extent += reader.byte() % 3;
        if ((head & 0xC0) == 0xC0) extent -= 1 + reader.byte() % 2;
        if (extent < 0) extent = 0;
        const double poison = fromBits(0x7FF4DEADBEEF0001u);
        Tabul::MatVal::Array re(static_cast<std::size_t>(extent), poison);
        std::optional<Tabul::MatVal::Array> im;
        if (complex) im.emplace(re.size(), poison);
        Tabul::MatVal::Array packedRe(static_cast<std::size_t>(rows * cols));
        std::optional<Tabul::MatVal::Array> packedIm;
        if (complex) packedIm.emplace(packedRe.size());
        for (int j = 0; j < cols; ++j) {
            for (int i = 0; i < rows; ++i) {
                const std::size_t packed = static_cast<std::size_t>(j * rows + i);
                element(packedRe, packedIm, packed, degree);
                const std::int64_t at = offset + std::int64_t{j} * anr + i;
                if (at < 0 || at >= extent) continue;  // the constructor will refuse this shape
                re[static_cast<std::size_t>(at)] = packedRe[packed];
                if (im) (*im)[static_cast<std::size_t>(at)] = (*packedIm)[packed];
            }
        }
        Held m = Tabul::MatVal::View(std::move(re), std::move(im), Tabul::mat_val{rows, cols, anr}, offset);
        madeView = true;
        Held twin = std::make_shared<Tabul::MatVal>(std::move(packedRe), std::move(packedIm), rows, cols);
        return {m, twin};
    }
};

struct DecodedCall {
    unsigned function = 0;
    int roundingMode = FE_TONEAREST;
    std::vector<ValueDecoder::Held> values;  // one per host argument, null allowed
    std::vector<ValueDecoder::Held> packed;  // the packed twins
    bool hasView = false;

    const EntryPoint& entry() const { return kEntryPoints[function]; }

    static std::array<const Tabul::Value*, 4> pointers(const std::vector<ValueDecoder::Held>& held) {
        std::array<const Tabul::Value*, 4> p{};
        for (std::size_t k = 0; k < held.size() && k < p.size(); ++k) p[k] = held[k].get();
        return p;
    }
};

// Flag byte: bits 0-3 all set picks a directed rounding mode for the caller
// (from the next byte), bit 4 allows wide degrees, bit 5 makes the second
// argument of Gamma null (the complete gamma function).
//
// Returns nothing when a view does not fit its arrays: MatVal refuses to
// build it, and there is no call to make.
inline std::optional<DecodedCall> decodeCall(const std::uint8_t* data, std::size_t size) {
    ByteReader reader(data, size);
    DecodedCall call;
    call.function = reader.byte() % kEntryPoints.size();
    const std::uint8_t flags = reader.byte();
    if ((flags & 0x0F) == 0x0F) {
        constexpr int modes[3] = {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};
        call.roundingMode = modes[reader.byte() % 3];
    }
    ValueDecoder decoder{reader, (flags & 0x10) != 0};
    const EntryPoint& e = call.entry();
    try {
        for (unsigned k = 0; k < e.arity; ++k) {
            const bool nullGammaArgument = std::strcmp(e.name, "Gamma") == 0 && k == 1 && (flags & 0x20) != 0;
            ValueDecoder::Pair v = nullGammaArgument
                                       ? ValueDecoder::Pair{}
                                       : decoder.value(0, static_cast<int>(k) == e.degreeArgument);
            call.values.push_back(v.value);
            call.packed.push_back(v.packed);
        }
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
    call.hasView = decoder.madeView;
    return call;
}

}  // namespace OruFuzz
