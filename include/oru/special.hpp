#pragma once

// The library's face towards the worksheet: fourteen functions of complex
// scalars or column vectors. Each takes untyped host values (null allowed:
// Gamma's second argument is null for the complete gamma function), returns
// a new value that the caller owns, and raises Vesk::Run::AppException with
// a fixed message and the 1-based position of the offending argument
// (0xFFFFFFFF for none).

#include <memory>

#include "oru/export.hpp"
#include "tabul/values.hpp"
#include "vesk/run/app_exception.hpp"

namespace Oru {

class ORU_SPECIAL_API Special {
public:
    using Arg = const Tabul::Value*;
    using Result = std::unique_ptr<Tabul::Value>;

    Special() = default;

    static Result Bei(Arg a, Arg b);                   // bei_n(x)
    static Result Ber(Arg a, Arg b);                   // ber_n(x)
    static Result Fhyper(Arg a, Arg b, Arg c, Arg d);  // 2F1(a, b; c; x)
    static Result Mhyper(Arg a, Arg b, Arg c);         // 1F1(a; b; x)
    static Result Ibeta(Arg a, Arg b, Arg c);          // I_x(a, b)
    static Result Igamma(Arg a, Arg b);                // P(trunc a, x)
    static Result Gamma(Arg a, Arg b);                 // Gamma(z) if b is null, else Gamma(a, x)
    static Result LnGamma(Arg a);                      // principal ln Gamma(z)
    static Result Jac(Arg a, Arg b, Arg c, Arg d);     // P_n^(alpha, beta)(x)
    static Result Her(Arg a, Arg b);                   // H_n(x)
    static Result Lag(Arg a, Arg b);                   // L_n(x)
    static Result Leg(Arg a, Arg b);                   // P_n(x)
    static Result Tcheb(Arg a, Arg b);                 // T_n(x)
    static Result Ucheb(Arg a, Arg b);                 // U_n(x)
};

}  // namespace Oru
