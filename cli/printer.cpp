#include "cli/printer.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "cli/text.hpp"

namespace OruCli {

namespace {

using Tabul::MatVal;
using Tabul::NumVal;
using Tabul::TextVal;
using Tabul::Value;

void writeJsonArray(std::ostream& out, const MatVal& m, bool imaginary) {
    out << '[';
    bool first = true;
    for (int j = 0; j < m.Data.m_cols; ++j)
        for (int i = 0; i < m.Data.m_rows; ++i) {
            if (!first) out << ',';
            first = false;
            out << jsonNumber(imaginary ? m.Im(i, j) : m.Re(i, j));
        }
    out << ']';
}

void writeJsonMatrix(std::ostream& out, const MatVal& m) {
    out << "{\"kind\":\"" << (m.HasPtrs() ? "nested" : "matrix") << "\",\"rows\":" << m.Data.m_rows
        << ",\"cols\":" << m.Data.m_cols;
    if (m.HasPtrs()) {
        out << ",\"elements\":[";
        for (int j = 0; j < m.Data.m_cols; ++j)
            for (int i = 0; i < m.Data.m_rows; ++i) {
                if (i != 0 || j != 0) out << ',';
                writeJson(out, &m.At(i, j));
            }
        out << "]}";
        return;
    }
    out << ",\"re\":";
    writeJsonArray(out, m, false);
    out << ",\"im\":";
    if (m.HasImag())
        writeJsonArray(out, m, true);
    else
        out << "null";
    out << '}';
}

// Messages for people on one line: a TAB (two library messages separate
// their words with one) or any other control character shows as a space.
std::string readableMessage(std::string_view message) {
    std::string text(message);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

// Built by appending: the operator+ chain trips a false -Wrestrict warning of
// g++ 12 at -O3.
std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += jsonEscape(text);
    out += '"';
    return out;
}

std::string shape(const MatVal& m) {
    return std::to_string(m.Data.m_rows) + " x " + std::to_string(m.Data.m_cols);
}

std::string entry(const MatVal& m, int i, int j) {
    return humanScalar(m.Re(i, j), m.Im(i, j), m.HasImag());
}

// Rows of right-aligned columns. The entries are formatted twice (once to
// measure, once to write) so that even a large matrix needs no copy of its
// text.
void writeHumanNumbers(std::ostream& out, const std::string& head, const std::string& indent,
                       const MatVal& m) {
    out << head << shape(m) << (m.HasImag() ? " complex" : " real") << " matrix"
        << (m.Data.m_rows > 0 && m.Data.m_cols > 0 ? ":" : "") << '\n';
    std::vector<std::size_t> widths(static_cast<std::size_t>(std::max(m.Data.m_cols, 0)), 0);
    for (int j = 0; j < m.Data.m_cols; ++j)
        for (int i = 0; i < m.Data.m_rows; ++i)
            widths[static_cast<std::size_t>(j)] =
                std::max(widths[static_cast<std::size_t>(j)], entry(m, i, j).size());
    for (int i = 0; i < m.Data.m_rows; ++i) {
        out << indent;
        for (int j = 0; j < m.Data.m_cols; ++j) {
            const std::string text = entry(m, i, j);
            out << (j == 0 ? "  " : "   ")
                << std::string(widths[static_cast<std::size_t>(j)] - text.size(), ' ') << text;
        }
        out << '\n';
    }
}

// head starts the first line, indent every further one; nested elements are
// listed row by row as "(i,j): value".
void writeHumanValue(std::ostream& out, const std::string& head, const std::string& indent,
                     const Value* value) {
    if (value == nullptr) {
        out << head << "null\n";
    } else if (const auto* z = dynamic_cast<const NumVal*>(value)) {
        out << head << humanScalar(z->Data.rp, z->Data.ip, false) << '\n';
    } else if (const auto* t = dynamic_cast<const TextVal*>(value)) {
        out << head << quoted(t->Text()) << '\n';
    } else if (const auto* m = dynamic_cast<const MatVal*>(value)) {
        if (!m->HasPtrs()) {
            writeHumanNumbers(out, head, indent, *m);
            return;
        }
        out << head << shape(*m) << " nested matrix:\n";
        for (int i = 0; i < m->Data.m_rows; ++i)
            for (int j = 0; j < m->Data.m_cols; ++j) {
                const std::string label = "  (" + std::to_string(i + 1) + "," + std::to_string(j + 1) + "): ";
                writeHumanValue(out, indent + label, indent + std::string(label.size(), ' '), &m->At(i, j));
            }
    } else {
        out << head << "(a value of an unknown kind)\n";
    }
}

void writeMarked(std::ostream& out, std::string_view statement, std::size_t begin, std::size_t end) {
    const MarkedEcho marked = markedEcho(statement, begin, end);
    out << "  " << marked.echo << "\n  " << marked.marker << '\n';
}

}  // namespace

void writeJson(std::ostream& out, const Value* value) {
    if (value == nullptr) {
        out << "{\"kind\":\"null\"}";
    } else if (const auto* z = dynamic_cast<const NumVal*>(value)) {
        out << "{\"kind\":\"scalar\",\"re\":" << jsonNumber(z->Data.rp)
            << ",\"im\":" << jsonNumber(z->Data.ip) << '}';
    } else if (const auto* t = dynamic_cast<const TextVal*>(value)) {
        out << "{\"kind\":\"text\",\"text\":" << quoted(t->Text()) << '}';
    } else if (const auto* m = dynamic_cast<const MatVal*>(value)) {
        writeJsonMatrix(out, *m);
    } else {
        out << "{\"kind\":\"unknown\"}";
    }
}

void writeJsonError(std::ostream& out, const EvalError& error) {
    out << "{\"kind\":\"error\",\"message\":" << quoted(error.message) << ",\"argument\":" << error.argument
        << '}';
}

void writeJsonSyntax(std::ostream& out, const SyntaxError& error) {
    out << "{\"kind\":\"syntax\",\"message\":" << quoted(error.message) << ",\"column\":" << error.begin + 1
        << '}';
}

std::string humanScalar(double re, double im, bool alwaysComplex) {
    if (!alwaysComplex && im == 0.0) return shortestDouble(re);
    if (!std::isfinite(im)) return "complex(" + shortestDouble(re) + ", " + shortestDouble(im) + ")";
    return shortestDouble(re) + (std::signbit(im) ? " - " : " + ") + shortestDouble(std::fabs(im)) + "i";
}

void writeHuman(std::ostream& out, const Value* value) {
    writeHumanValue(out, "", "", value);
}

void writeHumanError(std::ostream& out, std::string_view location, std::string_view statement,
                     const EvalError& error) {
    out << location << "error";
    if (!error.function.empty()) {
        out << " in " << error.function;
        if (error.argument > 0) out << ", argument " << error.argument;
    }
    out << ": " << readableMessage(error.message) << '\n';
    writeMarked(out, statement, error.begin, error.end);
}

void writeHumanSyntax(std::ostream& out, std::string_view location, std::string_view statement,
                      const SyntaxError& error) {
    out << location << "syntax error at column " << error.begin + 1 << ": " << readableMessage(error.message)
        << '\n';
    writeMarked(out, statement, error.begin, error.end);
}

}  // namespace OruCli
