#!/usr/bin/env bash
# Builds and runs one benchmark under Wine and prints its key=value lines:
#   scripts/bench.sh transport
#   scripts/bench.sh pane
#   scripts/bench.sh rescale             (the pane laid out again, 96 -> 192 DPI)
#   scripts/bench.sh badinput            (one hostile notice: deep nesting, huge tables)
#   scripts/bench.sh tokenizer           (the HTML tokenizer's throughput)
#   scripts/bench.sh relay [RATE ...]   (lines/s, or max; default 10000 max)
#   scripts/bench.sh flood [RATE ...]   (lines/s, or max; default 2000 5000 10000 max)
#   scripts/bench.sh startup [--runs N] [--also PROGRAM.exe]
#                            (needs ports 9812 and 9811 free; --also measures
#                            another build of the client in the same run, e.g.
#                            build-release/app/WobbleMiniChat.exe)
# Run by hand, not in CI; bench/README.md holds the figures and their reading.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

usage() {
  echo "usage: $0 NAME    (NAME: transport, pane, rescale, badinput, tokenizer, relay, flood, startup)" >&2
  exit 2
}

[ $# -ge 1 ] || usage
case "$1" in
  transport) target=transport_bench ;;
  pane) target=pane_bench ;;
  rescale) target=rescale_bench ;;
  badinput) target=bad_input_bench ;;
  tokenizer) target=tokenizer_bench ;;
  relay) target=relay_bench ;;
  flood) target=flood_bench ;;
  startup) target=startup_bench ;;
  *) usage ;;
esac
[ $# -eq 1 ] || [ "$1" = relay ] || [ "$1" = flood ] || [ "$1" = startup ] || usage
name=$1
shift

# True when something on this machine listens on 127.0.0.1:PORT.
port_taken() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
if [ "$name" = startup ]; then
  # The program's addresses are built in: the services must have its ports.
  for port in 9812 9811; do
    if port_taken "$port"; then
      echo "$0: port $port is taken (scripts/run.sh running?); startup needs it free" >&2
      exit 1
    fi
  done
fi

ensure_packages
ensure_locale
# Build output goes to stderr: stdout carries only the key=value lines.
build_project --target "$target" >&2

# The benchmarks make windows, which Wine's display driver wants a display for.
trap 'stop_wineserver; stop_display' EXIT
start_display
ensure_prefix
start_wineserver

if [ "$name" = startup ]; then
  # The benchmark is a Windows program: it takes Windows paths.
  args=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --also ] && [ $# -ge 2 ]; then
      args+=(--also "$(winepath -w "$(realpath "$2")" 2>/dev/null)")
      shift 2
    else
      args+=("$1")
      shift
    fi
  done
  set -- "${args[@]}" --users "$(winepath -w "$wobble_root/tools/demo-users.txt" 2>/dev/null)" \
    "$("$wobble_root/scripts/encode-id.sh" demo)"
fi

# Windows programs end their lines with CR LF.
wine "$WOBBLE_BUILD/bench/$target.exe" "$@" | tr -d '\r'
