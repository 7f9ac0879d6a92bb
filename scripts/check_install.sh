#!/usr/bin/env bash
# Installs the library from a build tree into a temporary prefix and builds a
# small host program against the installed package twice: with
# find_package(OruSpecial) and with pkg-config. Usage: check_install.sh BUILD_DIR
set -euo pipefail
build_dir=${1:?usage: check_install.sh BUILD_DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
libdir=$(find "$work/prefix" -name 'liboru_special.so*' -printf '%h\n' | head -n1)
echo "installed: $(cd "$work/prefix" && find . -name 'liboru_special.so*' -o -name '*.pc' -o -name 'OruSpecialConfig*.cmake' | sort | tr '\n' ' ')"
readelf -d "$libdir/liboru_special.so" | grep -q 'SONAME.*liboru_special.so.1' || { echo "missing SONAME"; exit 1; }

echo "== consumer through find_package"
cmake -S "$root/tests/package" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
LD_LIBRARY_PATH="$libdir" "$work/consumer/consumer"

echo "== consumer through pkg-config"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
g++ -o "$work/consumer-pc" "$root/tests/package/consumer.cpp" $(pkg-config --cflags --libs oru-special)
LD_LIBRARY_PATH="$libdir" "$work/consumer-pc"

echo "== the host integration guide's samples, through pkg-config"
for sample in "$root"/docs/samples/*.cpp; do
    name=$(basename "$sample" .cpp)
    # shellcheck disable=SC2046
    g++ -Wall -Wextra -Werror -pthread -o "$work/sample-$name" "$sample" $(pkg-config --cflags --libs oru-special)
    LD_LIBRARY_PATH="$libdir" "$work/sample-$name" >/dev/null
    echo "sample $name ok"
done
