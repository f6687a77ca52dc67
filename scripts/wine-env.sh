# Sourced by the scripts: the private Wine prefix and the environment in which
# every program of the project runs (no Mono, no Gecko, quiet Wine). The
# locale gives Wine its ANSI code page: ko_KR.UTF-8 (949, as on a Korean
# Windows) unless WOBBLE_LOCALE names another, such as en_US.UTF-8 (1252, as
# on an English one); the program must behave the same under both.
wobble_root=$(cd "$(dirname "${BASH_SOURCE[0]:-$0}")/.." && pwd)
export WOBBLE_BUILD=${WOBBLE_BUILD:-$wobble_root/build}
export WINEPREFIX=${WINEPREFIX:-$WOBBLE_BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=${WOBBLE_LOCALE:-ko_KR.UTF-8}
export LANG=$LC_ALL
