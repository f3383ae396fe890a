#!/usr/bin/env bash
# Runs a script through xtrahost and compares its transcript, ended by the
# exit status, with the reviewed transcript; shows a unified diff if not.
# usage: run_transcript.sh EXPECTED ACTUAL SCRIPT [EMULATOR] XTRAHOST
set -u
expected=$1 actual=$2 script=$3
shift 3
# Under Wine the program writes CR LF; the reviewed files have LF alone.
{ "$@" "$script"; echo "-- exit status $?"; } | tr -d '\r' >"$actual"
diff -u --label "expected: $expected" --label "actual: $actual" "$expected" "$actual" && exit 0
echo "If the new transcript is right, accept it: cp '$actual' '$expected'"
exit 1
