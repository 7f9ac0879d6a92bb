#pragma once

// Established libraries timed on the same inputs as our kernels. Each peer
// routine computes the same mathematical function in the same normalisation
// as the regime it is keyed to; its results are only timed, never compared.

#include <string>
#include <vector>

#include "bench/inputs.hpp"

namespace OruBench {

using PeerCall = tabulComplex (*)(const Args& args);

struct Peer {
    std::string key;  // a Regime::peerKey
    PeerCall call;
};

struct PeerLibrary {
    std::string name;     // "boost", "gsl"
    std::string version;  // empty when the library was not found at build time
    std::vector<Peer> peers;
};

PeerLibrary boostLibrary();
PeerLibrary gslLibrary();

}  // namespace OruBench
