#!/usr/bin/env bash
# Builds the fuzz targets natively (clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs one of them, or all in turn, for
# SECONDS each:
#
#   scripts/fuzz.sh TARGET|all SECONDS [libFuzzer options...]
#
# Installs clang and its runtime libraries when run as root and they are
# missing. Each target starts from its seeds (tests/fuzz/corpus/<target>, the
# kept crash inputs among them) and what earlier runs found (build-fuzz/
# corpus/<target>), with its dictionary. A crash, a leak, a timeout or an
# out-of-memory is a finding: its input lands in build-fuzz/findings/ and the
# script exits non-zero after running the rest. One line per target gives
# the executions and libFuzzer's coverage (cov: edges, ft: features). "all"
# first times the worst input shapes of the parsers outside the HTML engine
# (worst_shapes), which must cost time linear in their size.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

targets=(user_id field_tokenizer tag_filter chat_format profile_response server_frames
         menu_template html_parse html_document chat_room profile_request)

usage() {
  echo "usage: $0 TARGET|all SECONDS [libFuzzer options...]" >&2
  echo "targets: ${targets[*]}" >&2
  exit 2
}
[ $# -ge 2 ] || usage
selected=$1
seconds=$2
shift 2
[[ $seconds =~ ^[0-9]+$ ]] || usage
if [ "$selected" = all ]; then
  run=("${targets[@]}")
else
  [[ " ${targets[*]} " == *" $selected "* ]] || usage
  run=("$selected")
fi

# The native build needs none of the cross build's packages.
wobble_packages=(cmake make)
ensure_packages clang libclang-rt-14-dev

fuzz_source=$wobble_root/tests/fuzz
fuzz_build=${WOBBLE_FUZZ_BUILD:-$wobble_root/build-fuzz}
if [ ! -f "$fuzz_build/CMakeCache.txt" ]; then
  LC_ALL=C.UTF-8 CXX=clang++ cmake -S "$fuzz_source" -B "$fuzz_build" >/dev/null
fi
LC_ALL=C.UTF-8 cmake --build "$fuzz_build" -j "$(nproc)" -- --no-print-directory >/dev/null

dictionary_of() {
  case $1 in
    html_parse|html_document|tag_filter|chat_format) echo html.dict ;;
    server_frames|chat_room) echo frames.dict ;;
    profile_request) echo http.dict ;;
  esac
}

# AddressSanitizer's default quarantine (256 MB of freed memory held back)
# sends every allocation to fresh pages, and page faults then took a third of
# each short execution. Sixteen megabytes still hold back far more than one
# execution frees, so a use after free within it is caught as before.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}

mkdir -p "$fuzz_build/findings"
failed=()
if [ "$selected" = all ]; then
  "$fuzz_build/worst_shapes" || failed+=(worst_shapes)
fi
for target in "${run[@]}"; do
  corpus=$fuzz_build/corpus/$target
  seeds=$fuzz_source/corpus/$target
  mkdir -p "$corpus" "$seeds"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$fuzz_build/findings/$target-")
  dictionary=$(dictionary_of "$target")
  [ -n "$dictionary" ] && options+=(-dict="$fuzz_source/$dictionary")
  log_file=$fuzz_build/$target.log
  set +e
  "$fuzz_build/${target}_fuzzer" "${options[@]}" "$@" "$corpus" "$seeds" >"$log_file" 2>&1
  status=$?
  set -e
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log_file" | grep -o '[0-9]*$' || true)
  # With -fork=N the workers' totals are only in the progress lines.
  [ -n "$execs" ] || execs=$(grep -oE '^#[0-9]+' "$log_file" | tail -1 | tr -d '#' || true)
  coverage=$(grep -E '^#[0-9]+' "$log_file" | grep -o 'cov: [0-9]* ft: [0-9]*' | tail -1 || true)
  if [ $status -eq 0 ]; then
    echo "$target: ok, ${execs:-0} executions, ${coverage:-no coverage reported}"
  else
    echo "$target: FINDING (exit $status), see $log_file and $fuzz_build/findings/"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*property broken)' "$log_file" | head -5 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: ${#run[@]} target(s) ran clean"
