#pragma once

// Small builders of host values and an error matcher for the host tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "oru/special.hpp"

namespace testing_host {

using Tabul::MatVal;
using Tabul::NumVal;

inline std::unique_ptr<NumVal> scalar(double re, double im = 0.0) {
    return std::make_unique<NumVal>(re, im);
}

inline std::unique_ptr<MatVal> vec(std::vector<double> re) {
    const int n = static_cast<int>(re.size());
    return std::make_unique<MatVal>(std::move(re), std::nullopt, n, 1);
}

inline std::unique_ptr<MatVal> cvec(std::vector<double> re, std::vector<double> im) {
    const int n = static_cast<int>(re.size());
    return std::make_unique<MatVal>(std::move(re), std::move(im), n, 1);
}

inline std::unique_ptr<MatVal> matrix(int rows, int cols) {
    return std::make_unique<MatVal>(MatVal::Array(static_cast<std::size_t>(rows * cols), 1.0), std::nullopt,
                                    rows, cols);
}

inline std::unique_ptr<MatVal> nested(int rows, int cols) {
    std::vector<MatVal::Element> items;
    for (int k = 0; k < rows * cols; ++k) items.push_back(std::make_shared<NumVal>(1.0, 0.0));
    return MatVal::Nested(std::move(items), rows, cols);
}

inline std::unique_ptr<Tabul::TextVal> text() {
    return std::make_unique<Tabul::TextVal>("text");
}

constexpr std::uint32_t kNone = Vesk::Run::AppException::NoArgument;

// Runs call() and checks it raises the host exception with this message and
// argument index.
template <class Call>
::testing::AssertionResult raises(Call&& call, const std::string& message, std::uint32_t index) {
    try {
        call();
    } catch (const Vesk::Run::AppException& e) {
        if (e.Message() == message && e.Argument() == index) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "raised \"" << e.Message() << "\" with index " << e.Argument()
                                             << ", expected \"" << message << "\" with index " << index;
    }
    return ::testing::AssertionFailure() << "returned normally, expected \"" << message << "\"";
}

inline const MatVal& asMatrix(const std::unique_ptr<Tabul::Value>& v) {
    const auto* m = dynamic_cast<const MatVal*>(v.get());
    if (m == nullptr) throw std::logic_error("not a matrix");
    return *m;
}

inline const NumVal& asScalar(const std::unique_ptr<Tabul::Value>& v) {
    const auto* s = dynamic_cast<const NumVal*>(v.get());
    if (s == nullptr) throw std::logic_error("not a scalar");
    return *s;
}

}  // namespace testing_host
