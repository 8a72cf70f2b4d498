#!/usr/bin/env bash
# Plants one fault at a time in the code, rebuilds, runs the tests and says
# which faults they catch (killed) and which they miss (survived).
#
#   mutate.sh [options] [fault-file...]     default fault file: scripts/mutants.txt
#     --build DIR      build directory, built incrementally (default build-mutants)
#     --timeout S      time limit of one mutant's test run (default 900)
#     --only LIST      only the faults with these numbers (1,4,7-9)
#     --no-check       skip the test run of the unchanged tree (when it is
#                      known to pass)
#     --ctest "ARGS"   the test selection (default: every test except the
#                      labels show, fresh-root, web, the reliability stages
#                      reliability.* and the sound servers' runs pulse_* and
#                      pipewire*)
#
# A fault file has one fault a line: path|original|replacement|description,
# where the original text occurs exactly once in the file; a literal | is
# written \|. The file is restored after each fault, also on Ctrl-C. A fault
# that does not compile counts neither way; a test run that times out kills.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=build-mutants
limit=900
only=
check=1
selection=(-LE '^(show|fresh-root|web)$' -E '^(reliability\.|pulse_|pipewire)')
files=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --no-check) check=0; shift ;;
    --ctest) read -r -a selection <<<"$2"; shift 2 ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    -*) echo "mutate: unknown option $1" >&2; exit 2 ;;
    *) files+=("$1"); shift ;;
  esac
done
[ ${#files[@]} -gt 0 ] || files=(scripts/mutants.txt)

# The gl tests need a display: one Xvfb for the whole run.
if [ -z "${DISPLAY:-}" ]; then
  exec scripts/with-xvfb.sh "$0" --build "$build" --timeout "$limit" \
    ${only:+--only "$only"} $([ "$check" -eq 1 ] || echo --no-check) --ctest "${selection[*]}" "${files[@]}"
fi
export SDL_AUDIODRIVER=dummy

wanted() {  # is fault number $1 in --only?
  [ -z "$only" ] && return 0
  local part
  for part in ${only//,/ }; do
    if [[ $part == *-* ]]; then
      [ "$1" -ge "${part%-*}" ] && [ "$1" -le "${part#*-}" ] && return 0
    elif [ "$1" -eq "$part" ]; then
      return 0
    fi
  done
  return 1
}

# The mutated file's own text, restored whenever this script stops. The
# restored file gets a new time stamp, so the next build recompiles it.
mutated=
backup=$(mktemp)
restore() {
  if [ -n "$mutated" ]; then
    cat "$backup" >"$mutated"
    mutated=
  fi
}
# Children run in the background so that a signal is handled at once; the
# test run's timeout has a process group of its own and is ended by name.
child=
in_background() {
  "$@" &
  child=$!
  wait "$child"
}
interrupted() {
  [ -n "$child" ] && kill "$child" 2>/dev/null
  echo "mutate: interrupted${mutated:+, $mutated restored}" >&2
  restore
  exit 130
}
trap 'restore; rm -f "$backup"' EXIT
trap interrupted INT TERM

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")}
log=$build/mutate-logs
mkdir -p "$log"
build_tree() { in_background nice -n 5 cmake --build "$build" -j2 >"$1" 2>&1; }
run_tests() {
  # Without the times of earlier runs CTest starts the tests in their order,
  # the quick unit suites first, so that a failure stops the run early.
  rm -f "$build/Testing/Temporary/CTestCostData.txt"
  in_background timeout -k 10 "$limit" nice -n 5 ctest --test-dir "$build" --stop-on-failure -j2 "${selection[@]}" >"$1" 2>&1
}

echo "== Unchanged tree: configure, build, run ctest ${selection[*]}"
# Assertions stay on (no NDEBUG), so that faults planted in them are tried.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" "${launcher[@]}" >"$log/configure.txt" 2>&1 ||
  { echo "mutate: the tree does not configure ($log/configure.txt)" >&2; exit 1; }
build_tree "$log/build-0.txt" || { echo "mutate: the unchanged tree does not build ($log/build-0.txt)" >&2; exit 1; }
start=$SECONDS
if [ "$check" -eq 1 ]; then
  if ! run_tests "$log/tests-0.txt"; then
    echo "mutate: the unchanged tree fails its tests ($log/tests-0.txt)" >&2
    exit 1
  fi
  echo "   $(grep -c ' Test *#' "$log/tests-0.txt") tests pass in $((SECONDS - start)) s"
fi

results=()
killed=0 survived=0 unbuilt=0 number=0
for file in "${files[@]}"; do
  while IFS= read -r line || [ -n "$line" ]; do
    [[ -z $line || $line == \#* ]] && continue
    number=$((number + 1))
    wanted "$number" || continue
    IFS='|' read -r path original replacement description <<<"${line//\\|/$'\x01'}"
    original=${original//$'\x01'/|}
    replacement=${replacement//$'\x01'/|}
    description=${description//$'\x01'/|}
    if [ ! -f "$path" ] || [ "$(grep -cF -- "$original" "$path")" != 1 ]; then
      results+=("$(printf '%3d  %-9s %-38s %s' "$number" invalid "$path" "original text not found once")")
      unbuilt=$((unbuilt + 1))
      continue
    fi
    cp "$path" "$backup"
    mutated=$path
    text=$(cat "$path"; printf x)
    text=${text%x}
    printf '%s' "${text/"$original"/"$replacement"}" >"$path"

    started=$SECONDS
    if ! build_tree "$log/build-$number.txt"; then
      verdict=unbuilt
      unbuilt=$((unbuilt + 1))
    elif run_tests "$log/tests-$number.txt"; then
      verdict=SURVIVED
      survived=$((survived + 1))
    else
      verdict=killed
      killed=$((killed + 1))
    fi
    restore
    results+=("$(printf '%3d  %-9s %-38s %s' "$number" "$verdict" "$path" "$description")")
    printf '%3d  %-9s %4d s  %s\n' "$number" "$verdict" $((SECONDS - started)) "$description"
  done <"$file"
done

# Put the tree back as it was built.
build_tree "$log/build-restored.txt" || true

echo
echo "  #  result    file                                   fault"
printf '%s\n' "${results[@]}"
scored=$((killed + survived))
echo
if [ "$scored" -gt 0 ]; then
  echo "score: $killed killed of $scored ($((100 * killed / scored)) %), $survived survived, $unbuilt not built"
else
  echo "score: no fault built"
fi
