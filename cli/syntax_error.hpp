#pragma once

// A statement that does not parse: the reason and the bytes [begin, end) of
// the statement to blame (begin is reported as a 1-based column).

#include <cstddef>
#include <string>

namespace OruCli {

struct SyntaxError {
    std::string message;
    std::size_t begin = 0;
    std::size_t end = 0;
};

}  // namespace OruCli
