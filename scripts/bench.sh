#!/usr/bin/env bash
# Builds and runs one benchmark under Wine and prints its key=value lines:
#   scripts/bench.sh transport
#   scripts/bench.sh pane
#   scripts/bench.sh relay [RATE ...]   (lines/s, or max; default 10000 max)
# Run by hand, not in CI; bench/README.md holds the figures and their reading.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

usage() {
  echo "usage: $0 NAME    (NAME: transport, pane, relay)" >&2
  exit 2
}

[ $# -ge 1 ] || usage
case "$1" in
  transport) target=transport_bench ;;
  pane) target=pane_bench ;;
  relay) target=relay_bench ;;
  *) usage ;;
esac
[ $# -eq 1 ] || [ "$1" = relay ] || usage
shift

ensure_packages
ensure_locale
# Build output goes to stderr: stdout carries only the key=value lines.
build_project --target "$target" >&2

# The benchmarks make windows, which Wine's display driver wants a display for.
trap 'stop_wineserver; stop_display' EXIT
start_display
ensure_prefix
start_wineserver

# Windows programs end their lines with CR LF.
wine "$WOBBLE_BUILD/bench/$target.exe" "$@" | tr -d '\r'
