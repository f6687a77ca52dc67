#!/usr/bin/env bash
# Runs one Windows program of the project under Wine, in the private prefix:
#   scripts/wine.sh build/tests/net_tests.exe --gtest_filter='Scramble*'
# Window tests need a display: run under scripts/test.sh, or set DISPLAY.
source "$(dirname "$0")/wine-env.sh"
exec wine "$@"
