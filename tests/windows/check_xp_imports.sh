#!/usr/bin/env bash
# HidBridge.x32 must load on Windows XP SP3, on which Director up to 11.5 and
# the kiosks built with it run: it may import only functions that XP SP3 has.
# The list holds only such functions; an import missing from it fails the
# check until someone has made sure that XP SP3 has it, or the Xtra looks it
# up at run time instead (as the reader and Write do with CancelIoEx).
# usage: check_xp_imports.sh OBJDUMP XTRA LIST
set -euo pipefail
objdump=$1 xtra=$2 list=$3

imports=$("$objdump" -p "$xtra" |
  awk '/DLL Name:/{dll=tolower($3); next} /^$/{dll=""} dll && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print dll ":" $3}' |
  sort -u)
unknown=$(comm -23 <(echo "$imports") <(grep -v '^#' "$list" | sort -u))
echo "imports: $(echo "$imports" | wc -l) functions"
if [ -n "$unknown" ]; then
  echo "imports that Windows XP SP3 may lack:"
  echo "$unknown"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "1 passed, 0 failed"
