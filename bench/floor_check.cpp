#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "bench/family_floors.hpp"
#include "vesk/run/app_exception.hpp"

namespace OruBench {

namespace {

// The name of the part of a mixed regime on which the 1.0.0 value is kept.
std::string keptPartName(const std::string& regime) {
    return regime + ", 1.0.0 value kept";
}

std::uint64_t bitsOf(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// The result of a call, or false for an error of its own: an input on which
// both raise counts as agreeing.
bool call(KernelCall f, const Args& a, tabulComplex& res) {
    try {
        f(res, a.data());
        return true;
    } catch (const Vesk::Run::AppException&) {
        return false;
    }
}

struct Comparison {
    bool same;
    std::string description;  // where not the same
};

// The same result bit for bit, the sign of a zero imaginary part aside.
Comparison compare(KernelCall kernel, KernelCall floor, const Args& a) {
    tabulComplex ours(0.0, 0.0);
    tabulComplex bare(0.0, 0.0);
    const bool oursOk = call(kernel, a, ours);
    const bool bareOk = call(floor, a, bare);
    const bool sameIm = ours.im == bare.im || (std::isnan(ours.im) && std::isnan(bare.im));
    if (oursOk == bareOk && (!oursOk || (bitsOf(ours.re) == bitsOf(bare.re) && sameIm))) return {true, ""};
    std::ostringstream out;
    out.precision(17);
    out << "(" << a[0].re << ", " << a[1].re << ", " << a[2].re << ", " << a[3].re << "): kernel ";
    (oursOk ? out << ours.re : out << "raised") << ", floor ";
    (bareOk ? out << bare.re : out << "raised");
    return {false, out.str()};
}

// The floor if it gives the kernel's result on every input of the regime's
// pool; otherwise a report on the standard error and null, so that a floor
// that skips work is never timed as one.
KernelCall checked(const std::string& function, const std::string& regime, KernelCall floor) {
    for (const Regime& r : kernelRegimes()) {
        if (r.function != function || r.regime != regime) continue;
        std::size_t differing = 0;
        std::string first;
        for (const Args& a : r.pool) {
            const Comparison c = compare(r.kernel, floor, a);
            if (!c.same && differing++ == 0) first = c.description;
        }
        if (differing == 0) return floor;
        std::cerr << "floor/" << function << "/" << regime << ": differs from the kernel on " << differing
                  << " of " << r.pool.size() << " inputs, first " << first << "; not timed\n";
        return nullptr;
    }
    return nullptr;
}

template <class Visit>
void forEachFloor(Visit visit) {
    for (const auto family : {gammaFamilyFloors, hypergeometricFloors, kelvinFloors})
        for (const FloorEntry& f : family()) visit(f);
}

}  // namespace

KernelCall familyFloor(const std::string& function, const std::string& regime) {
    KernelCall found = nullptr;
    forEachFloor([&](const FloorEntry& f) {
        const std::string timedOn = f.onKeptPart ? keptPartName(f.regime) : std::string(f.regime);
        if (function == f.function && regime == timedOn) found = checked(function, regime, f.floor);
    });
    return found;
}

std::vector<Regime> keptParts(const std::vector<Regime>& regimes) {
    std::vector<Regime> parts;
    forEachFloor([&](const FloorEntry& f) {
        if (!f.onKeptPart) return;
        for (const Regime& r : regimes) {
            if (r.function != f.function || r.regime != f.regime) continue;
            Regime part = r;
            part.regime = keptPartName(r.regime);
            part.pool.clear();
            for (const Args& a : r.pool)
                if (compare(r.kernel, f.floor, a).same) part.pool.push_back(a);
            parts.push_back(std::move(part));
        }
    });
    return parts;
}

}  // namespace OruBench
