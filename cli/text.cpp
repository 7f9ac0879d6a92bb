#include "cli/text.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace OruCli {

std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;   // bounds of the second byte, which also
    unsigned char high = 0xBF;  // exclude overlong forms and surrogates
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (s.size() - i < length) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return length;
}

std::string jsonEscape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t length = utf8SequenceLength(s, i);
        if (length == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(s.substr(i, length));
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            std::array<char, 8> code{};
            std::snprintf(code.data(), code.size(), "\\u%04x", static_cast<unsigned>(c));
            out += code.data();
        } else {
            out += static_cast<char>(c);
        }
        i += length;
    }
    return out;
}

std::string shortestDouble(double x) {
    if (std::isnan(x)) return "nan";
    if (std::isinf(x)) return x < 0.0 ? "-inf" : "inf";
    std::array<char, 32> buffer{};  // the longest shortest form has 24 characters
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x);
    return std::string(buffer.data(), result.ptr);
}

std::string jsonNumber(double x) {
    // Appended rather than concatenated: the operator+ chain trips a false
    // -Wrestrict warning of g++ 12 at -O3.
    if (!std::isfinite(x)) {
        std::string quoted = "\"";
        quoted += shortestDouble(x);
        quoted += '"';
        return quoted;
    }
    std::string text = shortestDouble(x);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

MarkedEcho markedEcho(std::string_view statement, std::size_t begin, std::size_t end) {
    MarkedEcho result;
    bool marked = false;
    std::size_t i = 0;
    while (i < statement.size()) {
        const unsigned char c = static_cast<unsigned char>(statement[i]);
        std::size_t length = utf8SequenceLength(statement, i);
        const bool printable = length > 1 || (length == 1 && c >= 0x20 && c != 0x7F);
        if (length == 0) length = 1;
        if (printable) {
            result.echo.append(statement.substr(i, length));
        } else {
            result.echo += c == '\t' ? '\t' : '?';
        }
        if (i >= begin && i < end) {
            result.marker += '^';
            marked = true;
        } else if (i < begin) {
            result.marker += c == '\t' ? '\t' : ' ';
        }
        i += length;
    }
    if (!marked) result.marker += '^';
    return result;
}

}  // namespace OruCli
