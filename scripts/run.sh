#!/usr/bin/env bash
# Runs WobbleMiniChat against the reference services on this machine:
# installs what is missing (as root), builds, starts the chat server and the
# profile service on 127.0.0.1 (ports 9812 and 9811, the program's built-in
# ones) with tools/demo-users.txt, and starts the program with a demo
# identity. When the program ends, the services are stopped.
#
#   scripts/run.sh                      the user "demo"
#   scripts/run.sh --id alice           another user id of the users file
#   scripts/run.sh --second guest       also a second user, from a second
#                                       Wine prefix, so that two can talk
#   scripts/run.sh --screenshot a.png   saves the screen after 8 seconds
#
# Without a display it starts Xvfb (nothing can then be seen but the
# screenshot). The services' logs go to $WOBBLE_BUILD/run/.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

usage() {
  echo "usage: $0 [--id USER_ID] [--second USER_ID] [--screenshot FILE.png]" >&2
  exit 2
}

first_id=demo
second_id=
screenshot=
while [ $# -gt 0 ]; do
  case "$1" in
    --id) [ $# -ge 2 ] || usage; first_id=$2; shift 2 ;;
    --second) [ $# -ge 2 ] || usage; second_id=$2; shift 2 ;;
    --screenshot) [ $# -ge 2 ] || usage; screenshot=$(realpath -m "$2"); shift 2 ;;
    *) usage ;;
  esac
done

ensure_packages
ensure_locale
build_project --target WobbleMiniChat wobble-chatd wobble-profiled

run_dir=$WOBBLE_BUILD/run
second_prefix=$WOBBLE_BUILD/wineprefix-second
mkdir -p "$run_dir"
service_pids=()
client_pids=()

stop_all() {
  local pid
  for pid in "${client_pids[@]}" "${service_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${client_pids[@]}" "${service_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  stop_wineserver
  [ -z "$second_id" ] || WINEPREFIX=$second_prefix wineserver -k 2>/dev/null || true
  stop_display
}
trap stop_all EXIT
# Ctrl+C or a kill: leave through the EXIT trap, which stops everything.
trap 'exit 130' INT TERM

start_display
ensure_prefix
start_wineserver

# Starts a service in the background and waits for its "listening on" line.
start_service() {
  local name=$1 log=$run_dir/$1.log
  shift
  wine "$WOBBLE_BUILD/tools/$name.exe" "$@" </dev/null >"$log" 2>&1 &
  service_pids+=($!)
  local i
  for i in $(seq 100); do
    grep -q '^listening on' "$log" 2>/dev/null && { log "$name: $(head -1 "$log" | tr -d '\r') (log: $log)"; return 0; }
    kill -0 "${service_pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  log "$name did not start (is the port taken by another copy?):"
  tr -d '\r' <"$log" >&2
  return 1
}

start_service wobble-chatd --port 9812
start_service wobble-profiled --port 9811 --users "$(winepath -w "$wobble_root/tools/demo-users.txt" 2>/dev/null)"

# Starts the program for a user id, in the Wine prefix given.
start_client() {
  local id=$1 prefix=$2 argument
  argument=$("$wobble_root/scripts/encode-id.sh" "$id")
  log "starting WobbleMiniChat as \"$id\" (argument $argument, prefix $prefix)"
  WINEPREFIX=$prefix wine "$WOBBLE_BUILD/app/WobbleMiniChat.exe" "$argument" </dev/null >"$run_dir/client-$id.log" 2>&1 &
  client_pids+=($!)
}

start_client "$first_id" "$WINEPREFIX"
if [ -n "$second_id" ]; then
  # A second prefix is a second Windows session: the program allows one copy
  # per session.
  WINEPREFIX=$second_prefix ensure_prefix
  start_client "$second_id" "$second_prefix"
fi

if [ -n "$screenshot" ]; then
  sleep 8
  import -window root "$screenshot" && log "screenshot: $screenshot"
fi

for pid in "${client_pids[@]}"; do wait "$pid" || true; done
client_pids=()
log "the program has ended; stopping the services"
