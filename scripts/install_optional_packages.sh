#!/usr/bin/env bash
# The one script that installs software: the Debian packages of the optional
# tools. The library, the command-line host and the tests need none of them;
# the other scripts say what is missing and stop.
#
#   scripts/install_optional_packages.sh [--if-missing] [bench] [plots] [fuzz] [prompt]   (default: all four)
#
#   --if-missing  ask apt only when a package of the groups is not installed yet
#                 (continuous integration calls it so on machines that may have them)
#
#   bench  Google Benchmark, and the two libraries timed beside ours as peers
#          (Boost.Math headers and GSL): scripts/run_benchmarks.sh
#   plots  gnuplot: scripts/make_plots.sh, and the README's plotting example
#          (whose test checks the table without it)
#   fuzz   clang, its libFuzzer runtime and its OpenMP runtime (which, unlike GCC's, tells
#          ThreadSanitizer how its threads synchronise): scripts/ci_reliability.sh
#   prompt GNU readline's development files, for line editing at the prompt of
#          oru-special (a fresh Debian 12 development machine has them)
set -euo pipefail

declare -A groups=(
    [bench]="libbenchmark-dev libboost-dev libgsl-dev"
    [plots]="gnuplot-nox"
    [fuzz]="clang-14 libclang-rt-14-dev libomp-14-dev"
    [prompt]="libreadline-dev"
)

if_missing=false
if [[ ${1:-} == --if-missing ]]; then
    if_missing=true
    shift
fi
wanted=("$@")
((${#wanted[@]} > 0)) || wanted=(bench plots fuzz prompt)
packages=()
for group in "${wanted[@]}"; do
    [[ -n ${groups[$group]:-} ]] || { echo "unknown group '$group' (bench, plots, fuzz, prompt)" >&2; exit 2; }
    read -ra more <<<"${groups[$group]}"
    packages+=("${more[@]}")
done

if $if_missing; then
    missing=()
    for package in "${packages[@]}"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    if ((${#missing[@]} == 0)); then
        echo "installed already: ${packages[*]}"
        exit 0
    fi
    packages=("${missing[@]}")
fi

if [[ $(id -u) -eq 0 ]]; then
    sudo=()
else
    sudo=(sudo)
fi

"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${packages[@]}"
