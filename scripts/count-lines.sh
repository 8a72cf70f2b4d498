#!/usr/bin/env bash
# Counted lines of the test code against the code it tests: lines that are
# neither blank nor a comment alone (// in C++ and JavaScript, # in shell
# and Python). Tests: C++, shell, Python and JavaScript under tests/; code:
# C++ under src, tools and bench.
#
#   count-lines.sh            the totals and the ratio
#   count-lines.sh FILE...    the counted lines of each file
set -euo pipefail
cd "$(dirname "$0")/.."

counted() {  # counted lines of the given files
  [ $# -gt 0 ] || { echo 0; return; }
  awk '
    FILENAME ~ /\.(sh|py)$/ { if ($0 !~ /^[[:space:]]*(#|$)/) n++; next }
    $0 !~ /^[[:space:]]*(\/\/|$)/ { n++ }
    END { print n + 0 }' "$@"
}
sources() {  # files under folder $1 ending in one of the extensions $2, tracked or about to be
  local folder=$1 extensions=$2
  git ls-files --cached --others --exclude-standard -- "$folder" | grep -E "\\.($extensions)\$" |
    while read -r f; do [ -f "$f" ] && echo "$f"; done
}

if [ $# -gt 0 ]; then
  for f in "$@"; do printf '%6d  %s\n' "$(counted "$f")" "$f"; done
  exit 0
fi

cxx="cpp|cc|h|hpp|c"
mapfile -t test_files < <(sources tests "$cxx|js|sh|py")
mapfile -t code_files < <(for part in src tools bench; do sources "$part" "$cxx"; done)
tests=$(counted "${test_files[@]}")
code=$(counted "${code_files[@]}")
for part in src tools bench; do
  mapfile -t files < <(sources "$part" "$cxx")
  printf '%-6s %6d\n' "$part" "$(counted "${files[@]}")"
done
printf '%-6s %6d\n' code "$code" tests "$tests"
echo "ratio  $((100 * tests / code)) % (tests / code; at most 33 %)"
