#!/usr/bin/env bash
# HidBridge.x32 must be a PE32 i386 DLL exporting exactly the five Xtra entry
# points by their plain names, and importing nothing but Windows' own DLLs.
set -euo pipefail
objdump=$1 xtra=$2
dump=$("$objdump" -p "$xtra")
failed=0

grep -q 'file format pei-i386' <<<"$dump" || { echo "not a PE32 i386 file"; failed=1; }
grep -q '(PE32)' <<<"$dump" || { echo "not PE32"; failed=1; }
awk '/^Characteristics/{on=1; next} on && /^[ \t]+DLL$/{found=1} /^$/{on=0} END{exit !found}' <<<"$dump" ||
  { echo "not a DLL"; failed=1; }

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^[ \t]*\[/{print $NF; next} on{on=0}' <<<"$dump" | sort)
expected=$(printf '%s\n' DllCanUnloadNow DllGetClassForm DllGetClassInfo DllGetClassObject DllGetInterface)
if [ "$exports" != "$expected" ]; then
  echo "exports differ:"; diff <(echo "$expected") <(echo "$exports") || true; failed=1
fi

imports=$(awk '/DLL Name:/{print tolower($3)}' <<<"$dump" | sort -u)
for dll in $imports; do
  case $dll in
    kernel32.dll|user32.dll|setupapi.dll|hid.dll|advapi32.dll|msvcrt.dll|api-ms-win-*) ;;
    *) echo "imports a DLL that Windows does not ship: $dll"; failed=1 ;;
  esac
done
echo "exports: $(echo $exports)"
echo "imports: $(echo $imports)"
if [ $failed = 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit $failed
