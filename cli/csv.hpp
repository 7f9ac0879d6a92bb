#pragma once

// Output for plotting: the values of the expression statements as columns
// of comma-separated values under a header line of the statements, ready
// for gnuplot, a spreadsheet or pandas.

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/session.hpp"

namespace OruCli {

class CsvColumns {
public:
    // Takes value, the result of statement, as the next column: a number or
    // a column vector, real or complex (then a real and an imaginary
    // column). Anything else, or a length other than that of the columns
    // before, is an error naming the statement, written to errors as for
    // people (after location). Returns the statement's status.
    int add(std::string_view statement, const Held& value, std::ostream& errors, std::string_view location);

    // The header line and one line per row; nothing when no column was
    // added. Numbers have their shortest round-trip form; "inf", "-inf" and
    // "nan" stand for the non-finite.
    void write(std::ostream& out) const;

private:
    struct Column {
        std::string header;
        Held value;
        bool imaginary = false;  // the imaginary parts of value
    };
    std::vector<Column> columns_;
    std::size_t rows_ = 0;
    std::string firstShown_;  // the first column's statement, quoted for messages
};

}  // namespace OruCli
