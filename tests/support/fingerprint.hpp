#pragma once

// Everything a host sees of one call, bit for bit: the kind and shape of the
// value with every bit of its numbers (the sign of a zero, the payload of a
// NaN, whether a matrix carries an imaginary array), or the message and
// argument index of the error. The fields are fed in a fixed order to a
// sink of raw bytes: a hash for the committed result hashes, hexadecimal
// text for comparing two calls.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "tabul/values.hpp"
#include "vesk/run/app_exception.hpp"

namespace OruSupport {

template <class Sink, class T>
void feedValue(Sink& sink, const T& v) {
    sink.bytes(&v, sizeof v);
}

template <class Sink>
void feedResult(Sink& sink, const Tabul::Value* result) {
    if (const auto* s = dynamic_cast<const Tabul::NumVal*>(result)) {
        feedValue(sink, 'N');
        feedValue(sink, s->Data.rp);
        feedValue(sink, s->Data.ip);
    } else if (const auto* m = dynamic_cast<const Tabul::MatVal*>(result)) {
        feedValue(sink, 'M');
        feedValue(sink, m->Data.m_rows);
        feedValue(sink, m->Data.m_cols);
        feedValue(sink, m->HasImag());
        for (int i = 0; i < m->Data.m_rows; ++i) {
            feedValue(sink, m->Re(i, 0));
            if (m->HasImag()) feedValue(sink, m->Im(i, 0));
        }
    } else {
        feedValue(sink, '?');
    }
}

template <class Sink>
void feedError(Sink& sink, const Vesk::Run::AppException& e) {
    feedValue(sink, 'E');
    feedValue(sink, e.Message().size());
    sink.bytes(e.Message().data(), e.Message().size());
    feedValue(sink, e.Argument());
}

// 64-bit FNV-1a.
class Hash {
public:
    void bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) {
            m_state ^= b[i];
            m_state *= 0x100000001b3u;
        }
    }
    std::uint64_t state() const { return m_state; }

private:
    std::uint64_t m_state = 0xcbf29ce484222325u;
};

class HexText {
public:
    void bytes(const void* p, std::size_t n) {
        static const char digits[] = "0123456789abcdef";
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) {
            m_text += digits[b[i] >> 4];
            m_text += digits[b[i] & 15];
        }
    }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// One outcome of a call in a comparable form.
inline std::string fingerprint(const Tabul::Value* result) {
    HexText t;
    feedResult(t, result);
    return t.text();
}

inline std::string fingerprint(const Vesk::Run::AppException& e) {
    HexText t;
    feedError(t, e);
    return t.text();
}

// Raw bits of a double, for bit-for-bit comparisons.
inline std::uint64_t bitsOf(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

}  // namespace OruSupport
