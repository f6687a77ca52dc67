#!/usr/bin/env bash
# Builds the Release configuration (optimised, stripped, without the tests)
# in its own folder and writes what a Windows user downloads:
#   dist/WobbleMiniChat-VERSION-win64.zip
# with the client, the two reference services, the demo users file, a
# README.txt (CR LF line ends, for Notepad before Windows 10) and SHA256SUMS
# over those, all at the top of the archive, so that Explorer's "Extract all"
# gives one folder. Prints the archive's path last; scripts/check-package.sh
# checks it.
#   WOBBLE_RELEASE_BUILD=/some/dir scripts/package.sh   (default build-release/)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

release=${WOBBLE_RELEASE_BUILD:-$wobble_root/build-release}
version=$(project_version)
archive=$(package_archive)

ensure_packages
# -O2, as the tests' build: what ships is the code the tests ran, without its
# debugging information (CMake's Release default, -O3, is not).
configure_folder "$release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
build_folder "$release" --target WobbleMiniChat wobble-chatd wobble-profiled >&2

stage=$release/package
rm -rf "$stage"
mkdir -p "$stage" "$(dirname "$archive")"
cp "$release/app/WobbleMiniChat.exe" "$release/tools/wobble-chatd.exe" "$release/tools/wobble-profiled.exe" \
   "$wobble_root/tools/demo-users.txt" "$stage/"
sed "s/@VERSION@/$version/g; s/\$/\r/" "$wobble_root/docs/windows-readme.txt" > "$stage/README.txt"
cd "$stage"
sha256sum "${wobble_package_files[@]}" > SHA256SUMS
rm -f "$archive"
# No extra attributes (owner ids, Unix times): Windows has no use for them.
zip -q -X "$archive" "${wobble_package_files[@]}" SHA256SUMS
echo "$archive"
