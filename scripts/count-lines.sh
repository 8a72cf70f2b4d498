#!/usr/bin/env bash
# Counted lines of the test code against the code it tests: lines that are
# not blank and not comment-only (// /* * in C++, # in shell and CMake are
# not counted here), over C++ and shell files.
#
#   count-lines.sh            the totals and the ratio
#   count-lines.sh FILE...    the counted lines of each file
set -euo pipefail
cd "$(dirname "$0")/.."

counted() {  # counted lines of the given files
  [ $# -gt 0 ] || { echo 0; return; }
  awk '
    FILENAME ~ /\.sh$/ { if ($0 ~ /^[[:space:]]*(#|$)/) next; n++; next }
    /^[[:space:]]*$/ { next }
    /^[[:space:]]*(\/\/|\/\*|\*)/ { next }
    { n++ }
    END { print n + 0 }' "$@"
}
sources() {  # C++ and shell files under the given folders, tracked or about to be
  git ls-files --cached --others --exclude-standard -- "$@" | grep -E '\.(cpp|cc|h|hpp|sh)$' |
    while read -r f; do [ -f "$f" ] && echo "$f"; done
}

if [ $# -gt 0 ]; then
  for f in "$@"; do printf '%6d  %s\n' "$(counted "$f")" "$f"; done
  exit 0
fi

mapfile -t test_files < <(sources tests)
mapfile -t code_files < <(sources src tools bench)
tests=$(counted "${test_files[@]}")
code=$(counted "${code_files[@]}")
for part in src tools bench; do
  mapfile -t files < <(sources "$part")
  printf '%-6s %6d\n' "$part" "$(counted "${files[@]}")"
done
printf '%-6s %6d\n' code "$code" tests "$tests"
echo "ratio  $((100 * tests / code)) % (tests / code; at most 33 %)"
