#include "cli/csv.hpp"

#include "cli/statement.hpp"
#include "cli/text.hpp"
#include "tabul/values.hpp"

namespace OruCli {

namespace {

using Tabul::MatVal;
using Tabul::NumVal;

// A field as CSV writes it: quoted, with its quotes doubled, when it holds
// a comma, a quote or a line break.
std::string field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

// What a value that cannot be a column is, for the message.
std::string describe(const Held& held) {
    const auto* m = dynamic_cast<const MatVal*>(held.value.get());
    if (m == nullptr) return held.value ? "a text" : "null";
    const std::string shape = std::to_string(m->Data.m_rows) + " x " + std::to_string(m->Data.m_cols);
    return m->HasPtrs() ? "a nested " + shape + " matrix" : "a " + shape + " matrix";
}

double part(const Held& held, std::size_t row, bool imaginary) {
    if (const auto* z = dynamic_cast<const NumVal*>(held.value.get()))
        return imaginary ? z->Data.ip : z->Data.rp;
    const auto& m = static_cast<const MatVal&>(*held.value);
    const int i = static_cast<int>(row);
    return imaginary ? m.Im(i, 0) : m.Re(i, 0);
}

}  // namespace

int CsvColumns::add(std::string_view statement, const Held& value, std::ostream& errors,
                    std::string_view location) {
    std::string shown(1, '\'');
    shown += markedEcho(statement, 0, 0).echo;
    shown += '\'';
    std::size_t rows = 1;
    bool complex = false;
    if (const auto* z = dynamic_cast<const NumVal*>(value.value.get())) {
        complex = !(z->Data.ip == 0.0);
    } else if (const auto* m = dynamic_cast<const MatVal*>(value.value.get());
               m != nullptr && !m->HasPtrs() && m->Data.m_cols == 1) {
        rows = static_cast<std::size_t>(m->Data.m_rows);
        complex = m->HasImag();
    } else {
        errors << location << "error: --csv makes a column of a number or a column vector, but " << shown
               << " is " << describe(value) << '\n';
        return StatementFailed;
    }
    if (!columns_.empty() && rows != rows_) {
        errors << location << "error: --csv needs columns of one length, but " << shown << " has " << rows
               << (rows == 1 ? " row" : " rows") << " and " << firstShown_ << " has " << rows_ << '\n';
        return StatementFailed;
    }
    if (columns_.empty()) firstShown_ = shown;
    rows_ = rows;
    const std::string text(statement);
    if (!complex) {
        columns_.push_back({field(text), value, false});
    } else {
        columns_.push_back({field("re(" + text + ")"), value, false});
        columns_.push_back({field("im(" + text + ")"), value, true});
    }
    return StatementOk;
}

void CsvColumns::write(std::ostream& out) const {
    if (columns_.empty()) return;
    for (std::size_t k = 0; k < columns_.size(); ++k) out << (k == 0 ? "" : ",") << columns_[k].header;
    out << '\n';
    for (std::size_t row = 0; row < rows_; ++row) {
        for (std::size_t k = 0; k < columns_.size(); ++k)
            out << (k == 0 ? "" : ",") << shortestDouble(part(columns_[k].value, row, columns_[k].imaginary));
        out << '\n';
    }
}

}  // namespace OruCli
