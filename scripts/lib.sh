# Shared steps of the project's scripts: packages, locale, Wine prefix,
# display and build. Sourced; every function is safe to call twice.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

wobble_packages=(g++-mingw-w64-x86-64 wine wine64 xvfb xauth fonts-nanum
                 cmake make googletest locales x11-apps imagemagick xdotool zip unzip python3)

log() { printf '== %s\n' "$*" >&2; }

# Installs the Debian packages that are missing (root only; otherwise says
# what is missing and goes on, in case the machine has them elsewhere).
ensure_packages() {
  local missing=() p
  for p in "${wobble_packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    log "missing packages (run as root to install): ${missing[*]}"
    return 0
  fi
  log "installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Wine takes its ANSI code page from the locale: ko_KR.UTF-8 gives 949, and
# en_US.UTF-8 gives 1252, which the tests also run under.
wobble_locales=(ko_KR.UTF-8 en_US.UTF-8)
ensure_locale() {
  local missing=() l
  for l in "${wobble_locales[@]}"; do
    locale -a 2>/dev/null | grep -qix "${l%.UTF-8}.utf-\?8" || missing+=("$l")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  [ "$(id -u)" -eq 0 ] || { log "locales missing: ${missing[*]}"; return 0; }
  log "generating locales ${missing[*]}"
  for l in "${missing[@]}"; do
    sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
}

# Starts Xvfb on a free display when none is set; stop_display undoes it.
wobble_xvfb_pid=
start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n=99
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  wobble_xvfb_pid=$!
  export DISPLAY=:$n
  local i
  for i in $(seq 50); do
    [ -e /tmp/.X11-unix/X$n ] && return 0
    sleep 0.1
  done
  log "Xvfb did not start on $DISPLAY"
  return 1
}
stop_display() {
  [ -n "$wobble_xvfb_pid" ] || return 0
  kill "$wobble_xvfb_pid" 2>/dev/null || true
  wait "$wobble_xvfb_pid" 2>/dev/null || true
  wobble_xvfb_pid=
}

# Makes the private prefix once. Without a window manager, Wine must manage
# its windows itself to give them focus and draw their frames.
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/.wobble-ready" ]; then
    log "preparing Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.wobble-ready"
  fi
}

# Keeps one wineserver up for the run, so each program starts in a fraction
# of a second instead of one to three.
# Wine's helper processes (services, explorer) start with the first program
# and inherit its output; starting them here, detached from any pipe, keeps
# them from holding a test's output open after the test has ended.
start_wineserver() {
  wineserver -p
  wine cmd /c exit 0 </dev/null >/dev/null 2>&1
}
stop_wineserver() { wineserver -k 2>/dev/null || true; }

# Configures build folder DIR once, with the toolchain and the cmake options
# given after DIR.
configure_folder() {
  local dir=$1
  shift
  [ -f "$dir/CMakeCache.txt" ] && return 0
  LC_ALL=C.UTF-8 cmake -S "$wobble_root" -B "$dir" \
    -DCMAKE_TOOLCHAIN_FILE="$wobble_root/cmake/mingw-w64-x86_64.cmake" "$@" >/dev/null
}

# Builds folder DIR incrementally; the other arguments go to cmake --build.
build_folder() {
  local dir=$1
  shift
  LC_ALL=C.UTF-8 cmake --build "$dir" -j "$(nproc)" "$@"
}

# The build that the tests and benchmarks run from.
build_project() {
  configure_folder "$WOBBLE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  build_folder "$WOBBLE_BUILD" "$@"
}

# The project's version, as the root CMakeLists.txt gives it to CMake.
project_version() {
  sed -n 's/^project(WobbleMiniChat VERSION \([0-9.]*\) .*/\1/p' "$wobble_root/CMakeLists.txt"
}

# The Windows zip that scripts/package.sh writes, and what it holds beside
# SHA256SUMS, which covers these.
package_archive() { echo "$wobble_root/dist/WobbleMiniChat-$(project_version)-win64.zip"; }
wobble_package_files=(WobbleMiniChat.exe wobble-chatd.exe wobble-profiled.exe demo-users.txt README.txt)
