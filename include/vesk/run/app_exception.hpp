#pragma once

// The host's exception: every error of the library reaches the worksheet as
// an AppException carrying the message and the 1-based position of the
// argument to mark (0xFFFFFFFF when no single argument is to blame).

#include <cstdint>
#include <exception>
#include <string>

#include "oru/export.hpp"

namespace Vesk::Run {

class ORU_SPECIAL_API AppException : public std::exception {
public:
    // The index that names no particular argument (-1 as an unsigned value).
    static constexpr std::uint32_t NoArgument = 0xFFFFFFFFu;

    AppException(std::string message, std::uint32_t argument);

    // Raises a new AppException; never returns normally.
    [[noreturn]] static void Raise(const std::string& message, std::uint32_t argument);

    const std::string& Message() const noexcept { return m_message; }
    std::uint32_t Argument() const noexcept { return m_argument; }
    const char* what() const noexcept override;

private:
    std::string m_message;
    std::uint32_t m_argument;
};

}  // namespace Vesk::Run
