# Sourced by the scripts: the private Wine prefix and the environment in which
# every program of the project runs (Korean ANSI code page 949, no Mono, no
# Gecko, quiet Wine).
wobble_root=$(cd "$(dirname "${BASH_SOURCE[0]:-$0}")/.." && pwd)
export WOBBLE_BUILD=${WOBBLE_BUILD:-$wobble_root/build}
export WINEPREFIX=${WINEPREFIX:-$WOBBLE_BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ko_KR.UTF-8
export LANG=ko_KR.UTF-8
