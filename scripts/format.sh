#!/usr/bin/env bash
# Checks that every C++ file git tracks is formatted as .clang-format says,
# and lists those that are not; with --fix, formats them in place instead.
#
#   scripts/format.sh [--fix]
#
# Installs clang-format when run as root and it is missing. Exits non-zero
# when a file needs formatting (never with --fix, unless clang-format fails).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

fix=false
case "${1:-}" in
  '') ;;
  --fix) fix=true ;;
  *) echo "usage: $0 [--fix]" >&2; exit 2 ;;
esac

ensure_packages clang-format
cd "$wobble_root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')

if $fix; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  log "not formatted (scripts/format.sh --fix formats them):"
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
log "all ${#files[@]} files formatted"
