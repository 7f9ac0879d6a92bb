#!/usr/bin/env bash
# Builds the accuracy report and refreshes the measured table in
# docs/accuracy.md: everything between the two marker lines
#   <!-- accuracy-report:begin -->  and  <!-- accuracy-report:end -->
# is replaced by the report's output; the text around them is kept.
#
# Usage: scripts/update_accuracy_doc.sh [build-dir]   (default: build/acc)
# Run it after a kernel changes, and after regenerating the reference data
# with `python3 scripts/generate_reference.py`.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$root/build/acc"}
doc="$root/docs/accuracy.md"
begin='<!-- accuracy-report:begin -->'
end='<!-- accuracy-report:end -->'

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORU_WERROR=ON >/dev/null
cmake --build "$build" --target oru-accuracy-report

table=$(mktemp)
trap 'rm -f "$table" "$table.doc"' EXIT
"$build/tools/accuracy_report/oru-accuracy-report" >"$table"

if ! grep -qF "$begin" "$doc" 2>/dev/null || ! grep -qF "$end" "$doc"; then
    echo "update_accuracy_doc.sh: $doc lacks the marker lines $begin / $end" >&2
    exit 1
fi

awk -v begin="$begin" -v end="$end" -v table="$table" '
    $0 == begin { print; while ((getline line < table) > 0) print line; skipping = 1; next }
    $0 == end   { skipping = 0 }
    !skipping   { print }
' "$doc" >"$table.doc"
mv "$table.doc" "$doc"
echo "updated $doc"
