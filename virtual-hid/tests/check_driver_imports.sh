#!/usr/bin/env bash
# Wine's loader runs a driver as a driver only if it imports nothing but
# kernel-mode modules; one import from ntdll.dll or kernel32.dll and it is
# loaded as an ordinary DLL, its entry point called as DllMain.
# usage: check_driver_imports.sh OBJDUMP DRIVER
set -euo pipefail
objdump=$1 driver=$2

imports=$("$objdump" -p "$driver" | awk '/DLL Name:/{print $3}' | sort | tr '\n' ' ')
echo "imports from: $imports"
if [ "$imports" != "HAL.dll HIDCLASS.SYS ntoskrnl.exe " ]; then
  echo "expected imports from HAL.dll, HIDCLASS.SYS and ntoskrnl.exe only"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "1 passed, 0 failed"
