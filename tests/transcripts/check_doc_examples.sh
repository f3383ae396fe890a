#!/usr/bin/env bash
# Ties the examples of the Lingo manual to their transcripts: each ```lingo
# example follows a line <!-- transcript: docs/NAME.lingo -->, that script
# exists and calls every method the example calls, and every script in the
# folder belongs to an example.
# usage: check_doc_examples.sh MANUAL TRANSCRIPT_FOLDER
set -u
manual=$1 folder=$2
failures=0
fail() { echo "$manual: $*"; failures=$((failures + 1)); }

# The methods, as the manual's method table names them: | `Name(...
methods=$(sed -n 's/^| `\([A-Za-z]*\)(.*/\1/p' "$manual" | sort -u)
[ -n "$methods" ] || fail "no method table found"

# Each example as line, transcript and code without comments, one a line,
# apart by the unit separator (a tab would let an empty name vanish).
examples=$(awk '
  /^<!-- transcript: .* -->$/ { named = $3; next }
  /^```lingo/ { inside = 1; start = NR; code = ""; next }
  inside && /^```/ { print start "\037" named "\037" code; inside = 0; named = ""; next }
  inside { sub(/--.*/, ""); code = code " " $0; next }
  NF { named = "" }
' "$manual")

named_scripts=""
while IFS=$'\037' read -r line script code; do
  [ -n "$line" ] || continue
  if [ -z "$script" ]; then
    fail "line $line: the example names no transcript (<!-- transcript: docs/NAME.lingo --> before it)"
    continue
  fi
  named_scripts="$named_scripts ${script#docs/}"
  if [ ! -f "$folder/${script#docs/}" ]; then
    fail "line $line: $script does not exist"
    continue
  fi
  for method in $methods; do
    grep -qi "\b$method(" <<<"$code" || continue
    grep -qi "\b$method(" "$folder/${script#docs/}" || fail "line $line: $script never calls $method"
  done
done <<<"$examples"

for script in "$folder"/*.lingo; do
  name=$(basename "$script")
  [[ " $named_scripts " == *" $name "* ]] || fail "$name belongs to no example"
done

[ "$failures" -eq 0 ] && echo "every example has its transcript"
exit $((failures > 0))
