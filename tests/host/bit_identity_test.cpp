// The host entry points give bit-identical results on the whole reference
// data (data/reference/), call for call, before and after any change made
// for speed. The results are reduced to one 64-bit hash per function and
// path (scalar calls; one vector at each position that may be a vector, real
// and complex; two vectors) and compared with the hashes committed in
// data/bit_identity/result_hashes.txt. Every bit counts: the sign of a zero,
// the payload of a NaN, whether the result matrix carries an imaginary
// array, and the message and argument index of an error.
//
// When results are meant to change (a kernel corrected, reference data
// regenerated), write the file anew and commit it with the change:
//
//     ORU_WRITE_RESULT_HASHES=1 build/test/tests/oru_special_tests --gtest_filter='BitIdentity.*'
//
// Where a kernel's result is corrected on purpose at some reference points,
// those points leave the hashed set instead: data/bit_identity/moved/<name>.txt
// lists their 0-based indices in the reference file (one a line, '#' starts a
// comment), and the hashes then prove that every other point kept its bits.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/functions.hpp"
#include "oru/special.hpp"
#include "tests/support/fingerprint.hpp"
#include "tests/support/reference_data.hpp"
#include "vesk/run/app_exception.hpp"

namespace {

using Oru::Special;
using Tabul::MatVal;
using Tabul::NumVal;
using Tabul::Value;
using HostArgs = const Value* const*;

const std::string kHashFile = std::string(ORU_REFERENCE_DIR) + "/../bit_identity/result_hashes.txt";

// Vector calls are cut into pieces of this many elements, so that one
// element that raises hides only its own piece.
constexpr std::size_t kChunk = 64;

using OruSupport::Hash;

// Everything the host sees of one call.
void hashCall(Hash& h, Oru::Host::HostCall call, HostArgs args) {
    try {
        const Special::Result result = call(args);
        OruSupport::feedResult(h, result.get());
    } catch (const Vesk::Run::AppException& e) {
        OruSupport::feedError(h, e);
    }
}

using Oru::Host::FunctionForm;

std::size_t inputCount(const FunctionForm& f) {
    return f.complexArgument ? 2 : f.arity;
}

std::vector<std::size_t> vectorPositions(const FunctionForm& f) {
    std::vector<std::size_t> positions;
    for (std::size_t k = 0; k < f.arity; ++k)
        if ((f.vectorArguments >> k & 1u) != 0) positions.push_back(k);
    return positions;
}

struct Element {
    double re;
    double im;
};

// The host arguments of one reference point.
std::vector<Element> argumentsOf(const FunctionForm& f, const std::vector<double>& in) {
    if (f.complexArgument) return {{in[0], in[1]}};
    std::vector<Element> args;
    for (const double v : in) args.push_back({v, 0.0});
    return args;
}

// A column vector of the given elements. The complex form is a view three
// places into larger arrays padded with NaNs, so that the engine's reading
// through the offset is part of what is hashed.
std::unique_ptr<MatVal> vectorOf(const std::vector<Element>& elements, bool complex) {
    const int rows = static_cast<int>(elements.size());
    if (!complex) {
        MatVal::Array re;
        for (const Element& e : elements) re.push_back(e.re);
        return std::make_unique<MatVal>(std::move(re), std::nullopt, rows, 1);
    }
    constexpr int offset = 3;
    const double pad = std::nan("");
    MatVal::Array re(static_cast<std::size_t>(rows + 2 * offset), pad);
    MatVal::Array im(re.size(), pad);
    for (int i = 0; i < rows; ++i) {
        re[static_cast<std::size_t>(offset + i)] = elements[static_cast<std::size_t>(i)].re;
        im[static_cast<std::size_t>(offset + i)] = elements[static_cast<std::size_t>(i)].im;
    }
    return MatVal::View(std::move(re), std::move(im), Tabul::mat_val{rows, 1, rows}, offset);
}

// One host call: the arguments at the given positions are the vectors made
// of the points' values there, the others are the first point's scalars.
void hashVectorCall(Hash& h, const FunctionForm& f, const std::vector<std::vector<Element>>& points,
                    const std::vector<std::size_t>& positions, const std::vector<bool>& complex) {
    const std::vector<Element>& first = points.front();
    std::vector<std::unique_ptr<Value>> owned;
    std::vector<const Value*> args;
    for (std::size_t k = 0; k < first.size(); ++k) {
        std::size_t which = positions.size();
        for (std::size_t v = 0; v < positions.size(); ++v)
            if (positions[v] == k) which = v;
        if (which < positions.size()) {
            std::vector<Element> column;
            for (const auto& p : points) column.push_back(p[k]);
            owned.push_back(vectorOf(column, complex[which]));
        } else {
            owned.push_back(std::make_unique<NumVal>(first[k].re, first[k].im));
        }
        args.push_back(owned.back().get());
    }
    hashCall(h, f.call, args.data());
}

bool sameExcept(const std::vector<Element>& a, const std::vector<Element>& b, std::size_t position) {
    for (std::size_t k = 0; k < a.size(); ++k)
        if (k != position && (std::memcmp(&a[k], &b[k], sizeof(Element)) != 0)) return false;
    return true;
}

// Consecutive points that differ only at `position` (or, with no position,
// every point), in pieces of at most kChunk.
std::vector<std::vector<std::vector<Element>>> runs(const std::vector<std::vector<Element>>& points,
                                                    std::optional<std::size_t> position) {
    std::vector<std::vector<std::vector<Element>>> out;
    for (const auto& p : points) {
        const bool extend = !out.empty() && out.back().size() < kChunk &&
                            (!position || sameExcept(out.back().front(), p, *position));
        if (!extend) out.emplace_back();
        out.back().push_back(p);
    }
    return out;
}

using PathHashes = std::map<std::string, std::uint64_t>;

PathHashes hashFunction(const FunctionForm& f, const std::vector<Oru::Accuracy::ReferencePoint>& reference) {
    std::vector<std::vector<Element>> points;
    for (const auto& r : reference) points.push_back(argumentsOf(f, r.inputs));
    PathHashes out;

    Hash scalar;
    for (const auto& p : points) {
        std::vector<std::unique_ptr<Value>> owned;
        std::vector<const Value*> args;
        for (const Element& e : p) {
            owned.push_back(std::make_unique<NumVal>(e.re, e.im));
            args.push_back(owned.back().get());
        }
        hashCall(scalar, f.call, args.data());
    }
    out["scalar"] = scalar.state();

    for (const std::size_t position : vectorPositions(f)) {
        for (const bool complex : {false, true}) {
            Hash h;
            // A real vector cannot hold a complex argument.
            std::vector<std::vector<Element>> usable;
            for (const auto& p : points)
                if (complex || p[position].im == 0.0) usable.push_back(p);
            for (const auto& run : runs(usable, position)) hashVectorCall(h, f, run, {position}, {complex});
            out["vector" + std::to_string(position + 1) + (complex ? "-complex" : "-real")] = h.state();
        }
    }
    if (f.vectorArguments == Oru::Host::kEitherOrBoth) {
        for (const bool complexA : {false, true})
            for (const bool complexB : {false, true}) {
                Hash h;
                for (const auto& run : runs(points, std::nullopt))
                    hashVectorCall(h, f, run, {0, 1}, {complexA, complexB});
                out[std::string("two-vectors-") + (complexA ? "complex" : "real") + "-" +
                    (complexB ? "complex" : "real")] = h.state();
            }
    }
    return out;
}

// The indices of the reference points whose results were corrected on purpose.
std::set<std::size_t> movedPoints(const std::string& name) {
    std::set<std::size_t> moved;
    std::ifstream in(std::string(ORU_REFERENCE_DIR) + "/../bit_identity/moved/" + name + ".txt");
    std::string line;
    while (std::getline(in, line)) {
        const std::string field = line.substr(0, line.find('#'));
        if (field.find_first_not_of(" \t") != std::string::npos) moved.insert(std::stoul(field));
    }
    return moved;
}

std::map<std::string, PathHashes> hashEverything() {
    std::map<std::string, PathHashes> all;
    for (const FunctionForm& f : Oru::Host::kFunctionForms) {
        const std::string name(f.file);
        const std::string path = Oru::Accuracy::referenceDirectory() + "/" + name + ".txt";
        const auto reference = Oru::Accuracy::readReferenceFile(path, inputCount(f));
        const auto moved = movedPoints(name);
        std::vector<Oru::Accuracy::ReferencePoint> kept;
        for (std::size_t i = 0; i < reference.size(); ++i)
            if (moved.count(i) == 0) kept.push_back(reference[i]);
        all[name] = hashFunction(f, kept);
    }
    return all;
}

std::string hex(std::uint64_t v) {
    std::ostringstream s;
    s << std::hex << v;
    return s.str();
}

std::map<std::string, PathHashes> readHashFile(const std::string& path) {
    std::map<std::string, PathHashes> all;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string function, pathName, value;
        if (fields >> function >> pathName >> value)
            all[function][pathName] = std::stoull(value, nullptr, 16);
    }
    return all;
}

bool writeHashFile(const std::string& path, const std::map<std::string, PathHashes>& all) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path);
    out << "# Hashes of the host entry points' results on data/reference/, written by\n"
           "# ORU_WRITE_RESULT_HASHES=1 oru_special_tests --gtest_filter='BitIdentity.*'\n"
           "# columns: function path hash\n";
    for (const auto& [function, paths] : all)
        for (const auto& [pathName, value] : paths)
            out << function << ' ' << pathName << ' ' << hex(value) << '\n';
    return static_cast<bool>(out);
}

TEST(BitIdentity, EntryPointsReproduceTheCommittedResultHashes) {
    const auto computed = hashEverything();
    if (std::getenv("ORU_WRITE_RESULT_HASHES") != nullptr) {
        ASSERT_TRUE(writeHashFile(kHashFile, computed)) << "cannot write " << kHashFile;
        GTEST_SKIP() << "wrote " << kHashFile;
    }
    const auto committed = readHashFile(kHashFile);
    ASSERT_FALSE(committed.empty()) << "no hashes in " << kHashFile;
    for (const auto& [function, paths] : computed) {
        const auto found = committed.find(function);
        ASSERT_NE(found, committed.end()) << function << " has no committed hashes";
        for (const auto& [pathName, value] : paths) {
            const auto expected = found->second.find(pathName);
            ASSERT_NE(expected, found->second.end())
                << function << " " << pathName << " has no committed hash";
            EXPECT_EQ(hex(value), hex(expected->second))
                << function << ", " << pathName << ": the results differ from the committed ones";
        }
    }
}

}  // namespace
