#include "vesk/run/app_exception.hpp"

#include <utility>

namespace Vesk::Run {

AppException::AppException(std::string message, std::uint32_t argument)
    : m_message(std::move(message)), m_argument(argument) {}

void AppException::Raise(const std::string& message, std::uint32_t argument) {
    throw AppException(message, argument);
}

const char* AppException::what() const noexcept {
    return m_message.c_str();
}

}  // namespace Vesk::Run
