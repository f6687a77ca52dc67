#!/usr/bin/env bash
# Prints the command-line identity argument of WobbleMiniChat for a user id:
# the id's CP949 bytes, each XORed with byte (i mod 4) of the key 0x6B2E9D41
# (least significant byte first), as two hexadecimal digits per byte.
#   scripts/encode-id.sh demo      ->  25F84304
#   scripts/encode-id.sh 워블       (the id is read as UTF-8 and sent as CP949)
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 USER_ID" >&2; exit 2; }

key=(0x41 0x9D 0x2E 0x6B)
mapfile -t bytes < <(printf '%s' "$1" | iconv -f UTF-8 -t CP949 | od -An -v -tu1 | tr -s ' ' '\n' | grep -v '^$')
i=0
for byte in "${bytes[@]}"; do
  printf '%02X' $(( byte ^ key[i % 4] ))
  i=$((i + 1))
done
printf '\n'
