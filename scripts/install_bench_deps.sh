#!/usr/bin/env bash
# Installs the Debian packages the benchmark program needs: Google Benchmark
# itself, and the two established libraries it times side by side with ours
# (Boost.Math headers and GSL). The main build needs none of them.
set -euo pipefail

packages=(libbenchmark-dev libboost-dev libgsl-dev)

if [[ $(id -u) -eq 0 ]]; then
    sudo=()
else
    sudo=(sudo)
fi

"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${packages[@]}"
