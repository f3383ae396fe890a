#!/usr/bin/env bash
# HidBridge.x32 must call none of the HID functions that Wine 8 only stubs:
# there they raise an exception instead of answering, which would end the
# player. It must neither import them nor name them for a run-time lookup.
# usage: check_no_wine_stubs.sh OBJDUMP XTRA
set -euo pipefail
objdump=$1 xtra=$2
stubs=(HidP_SetData HidP_UsageListDifference HidP_GetExtendedAttributes)

imports=$("$objdump" -p "$xtra" | awk '/DLL Name:/{dll=tolower($3); next} /^$/{dll=""} dll == "hid.dll" {print $3}')
found=0
for stub in "${stubs[@]}"; do
  if grep -qx "$stub" <<<"$imports"; then
    echo "imports $stub, which Wine 8 only stubs"
    found=1
  elif grep -qa "$stub" "$xtra"; then
    echo "names $stub, which Wine 8 only stubs, as if to look it up at run time"
    found=1
  fi
done
echo "hid.dll imports: $(grep -c . <<<"$imports")"
if [ "$found" = 1 ]; then
  echo "0 passed, 1 failed"
  exit 1
fi
echo "1 passed, 0 failed"
