#!/usr/bin/env bash
# Builds WobbleMiniChat and runs every test program under Wine, on Xvfb when
# no display is set. Installs what is missing when run as root; a second run
# reuses the packages, the Wine prefix and the build. Exits with ctest's
# status and prints its summary line last.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ensure_packages
ensure_locale
build_project

trap 'stop_wineserver; stop_display' EXIT
start_display
ensure_prefix
start_wineserver

set +e
ctest --test-dir "$WOBBLE_BUILD" --output-on-failure -j 2 "$@" > "$WOBBLE_BUILD/ctest.log" 2>&1
status=$?
set -e
grep -v -E 'tests passed|tests failed' "$WOBBLE_BUILD/ctest.log" || true
grep -E 'tests passed|tests failed' "$WOBBLE_BUILD/ctest.log" | tail -1
exit $status
