#!/usr/bin/env bash
# Checks the downloadable package as a Windows user would get it, unpacked
# into a fresh folder:
#   scripts/check-package.sh [ZIP]   (default dist/WobbleMiniChat-VERSION-win64.zip)
# - it holds exactly the files it should, and SHA256SUMS verifies them;
# - every program is 64-bit (PE32+, x86-64), a GUI program (the client) or a
#   console one (the services), imports only DLLs that every Windows since 7
#   has (no MinGW runtime beside it), imports by name none of the functions
#   that came after Windows 7 SP1 (a program importing one does not even
#   start there: such functions are looked up at run time), and carries the
#   project's version in its version record, as Explorer's properties show it;
# - the client is under 1 MB, README.txt has CR LF line ends;
# - the client, started from the folder against the folder's own services
#   (tests/package, built in the tests' build), shows its chat window with
#   the welcome notice and ends cleanly.
# Needs ports 9811 and 9812, waiting up to two minutes for them. Prints one
# line per failure and "package ok" last when all hold; exits 1 otherwise.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

version=$(project_version)
archive=${1:-$(package_archive)}
client=WobbleMiniChat.exe
services=(wobble-chatd.exe wobble-profiled.exe)
client_limit=$((1024 * 1024))
# Present on every Windows from 7 on, in System32.
system_dlls=(advapi32 comctl32 comdlg32 gdi32 imm32 kernel32 msimg32 msvcrt ole32 oleacc oleaut32 shell32 shlwapi
             user32 uxtheme version windowscodecs wininet winmm ws2_32)
# Functions the program calls that Windows 7 SP1 lacks (the per-monitor DPI
# functions of Windows 10, UI Automation's notification of Windows 10 1709,
# and the DLL search restriction that 7 has only with an update).
newer_than_7=(GetDpiForWindow GetDpiForSystem GetSystemMetricsForDpi SystemParametersInfoForDpi
              AdjustWindowRectExForDpi EnableNonClientDpiScaling SetDialogDpiChangeBehavior
              SetDialogControlDpiChangeBehavior SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext
              SetProcessDpiAwarenessContext GetWindowDpiAwarenessContext GetDpiForMonitor SetProcessDpiAwareness
              UiaRaiseNotificationEvent SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory)

failures=0
fail() {
  echo "package: $*" >&2
  failures=$((failures + 1))
}

ensure_packages
ensure_locale
[ -f "$archive" ] || { echo "$0: no $archive (scripts/package.sh makes it)" >&2; exit 1; }
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
unzip -q "$archive" -d "$folder"

files=$(printf '%s\n' "${wobble_package_files[@]}" | sort)
[ "$(ls -A "$folder" | grep -vx SHA256SUMS | sort)" = "$files" ] ||
  fail "holds $(ls -A "$folder" | tr '\n' ' '), not ${wobble_package_files[*]} SHA256SUMS"
(cd "$folder" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not verify"
[ "$(cut -d' ' -f3 "$folder/SHA256SUMS" | sort)" = "$files" ] || fail "SHA256SUMS does not cover every other file"
! grep -qv $'\r$' "$folder/README.txt" || fail "README.txt has lines without CR LF"

# Checks one program's headers, imports and version record; SUBSYSTEM is
# objdump's number (2 GUI, 3 console).
check_program() {
  local exe=$1 subsystem=$2 headers dll record
  headers=$(x86_64-w64-mingw32-objdump -p "$folder/$exe" 2>/dev/null) || true
  grep -q 'file format pei-x86-64' <<<"$headers" || fail "$exe is not x86-64"
  grep -qE '^Magic[[:space:]]+020b' <<<"$headers" || fail "$exe is not PE32+"
  grep -qE "^Subsystem[[:space:]]+0*${subsystem}[[:space:]]" <<<"$headers" || fail "$exe is not of subsystem $subsystem"
  for dll in $(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers"); do
    dll=${dll,,}
    [[ " ${system_dlls[*]} " == *" ${dll%.dll} "* ]] || fail "$exe imports $dll"
  done
  local function
  for function in $(sed -n 's/^[[:space:]]*[0-9a-f]\+[[:space:]]\+[0-9]\+[[:space:]]\+\([A-Za-z_][A-Za-z0-9_]*\)$/\1/p' <<<"$headers"); do
    if [[ " ${newer_than_7[*]} " == *" $function "* ]]; then fail "$exe imports $function, which Windows 7 lacks"; fi
  done
  # windres reads a program's resources back as a script; none is no record.
  record=$(x86_64-w64-mingw32-windres -i "$folder/$exe" -O rc 2>/dev/null | sed -n '/^1 VERSIONINFO/,/^END/p') || true
  [ -n "$record" ] || { fail "$exe has no version record"; return; }
  local line
  for line in "FILEVERSION ${version//./, }, 0" "PRODUCTVERSION ${version//./, }, 0" \
              "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" \
              '"ProductName", "WobbleMiniChat"' "\"OriginalFilename\", \"$exe\"" '"FileDescription", '; do
    grep -qF "$line" <<<"$record" || fail "$exe's version record lacks $line"
  done
}
check_program "$client" 2
for exe in "${services[@]}"; do check_program "$exe" 3; done

size=$(stat -c %s "$folder/$client")
echo "client_bytes=$size"
[ "$size" -lt "$client_limit" ] || fail "$client is $size bytes, not under $client_limit"

build_project --target package_run >/dev/null
trap 'stop_wineserver; stop_display; rm -rf "$folder"' EXIT
start_display
ensure_prefix
start_wineserver
wine "$WOBBLE_BUILD/tests/package/package_run.exe" "$(winepath -w "$folder")" | tr -d '\r' ||
  fail "the unpacked client's run failed (its failure= line says where)"

[ "$failures" -eq 0 ] || exit 1
echo "package ok"
