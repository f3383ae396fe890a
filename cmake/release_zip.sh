#!/usr/bin/env bash
# Makes the release for Director authors: OUT_DIR/HidBridge-VERSION.zip, and
# its checksum beside it. The zip holds one folder with the Xtra, the
# console, the manual as HTML, the examples, the read-me and the checksums of
# all of these.
# usage: release_zip.sh OUT_DIR VERSION XTRA XTRAHOST SOURCE_ROOT
set -euo pipefail
version=$2 xtra=$3 xtrahost=$4 root=$5
name=HidBridge-$version
mkdir -p "$1"
out=$(cd "$1" && pwd)

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
folder=$staging/$name
mkdir -p "$folder/examples"

cp "$xtra" "$folder/HidBridge.x32"
cp "$xtrahost" "$folder/xtrahost.exe"
cp "$root"/examples/*.lingo "$folder/examples/"

# Authors read the manual in a browser, perhaps with no connection: one page
# that carries its own styles.
{
  cat <<HEAD
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>HidBridge $version for Director authors</title>
<style>
body { font-family: sans-serif; max-width: 60em; margin: 2em auto; padding: 0 1em; line-height: 1.4; }
table { border-collapse: collapse; } td, th { border: 1px solid #bbb; padding: .3em .5em; vertical-align: top; }
code, pre { font-family: Consolas, monospace; } pre { background: #f4f4f4; padding: .6em; overflow-x: auto; }
</style>
</head>
<body>
HEAD
  # markdown_py is python3-markdown's own command, run by the system's python3.
  markdown_py -x tables -x fenced_code "$root/docs/lingo.md"
  printf '\n</body>\n</html>\n'
} >"$folder/lingo.html"

# Notepad before Windows 10 shows a text without carriage returns as one line.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/docs/read_me_for_authors.txt" >"$folder/README.txt"
sed -i 's/$/\r/' "$folder"/examples/*.lingo

(cd "$folder" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)

rm -f "$out/$name.zip"
(cd "$staging" && zip -q -X -r "$out/$name.zip" "$name")
(cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "$out/$name.zip"
