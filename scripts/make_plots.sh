#!/usr/bin/env bash
# Draws the graphs of the function pages into docs/functions/plots/ from the
# output of the command-line host, with gnuplot; the error graphs compare with
# values computed by mpmath. Usage: scripts/make_plots.sh [graph ...]
# (default: every graph; names as in scripts/plot_functions.py).
#
# Needs python3 with mpmath, and gnuplot (scripts/install_optional_packages.sh
# plots installs it). Builds build/default/cli/oru-special through the
# default preset first, so that the graphs show the current code. The normal build and tests need none
# of this: the graphs are committed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program="$root/build/default/cli/oru-special"

if ! command -v gnuplot >/dev/null; then
    echo "make_plots.sh: gnuplot is missing; install it with scripts/install_optional_packages.sh plots" >&2
    exit 1
fi
if ! python3 -c 'import mpmath' 2>/dev/null; then
    echo "make_plots.sh: python3 needs mpmath for the error graphs (Debian: python3-mpmath)" >&2
    exit 1
fi
if [ -f "$root/build/default/build.ninja" ]; then
    (cd "$root" && cmake --build --preset default >/dev/null)
else
    (cd "$root" && cmake --workflow --preset default >/dev/null)
fi

python3 "$root/scripts/plot_functions.py" --program "$program" --out "$root/docs/functions/plots" "$@"
