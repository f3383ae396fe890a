#!/usr/bin/env bash
# The release as an author gets it: made afresh, checked against its own
# checksums, unpacked into a Wine prefix that has never seen the build, and
# the tour run there from the unpacked files. The tour plugs in a virtual pad:
# the test's own driver is put beside them for that, as no author gets it.
# usage: check_release_package.sh WORK_DIR VERSION XTRA XTRAHOST SOURCE_ROOT DRIVER_DIR
set -euo pipefail
work=$1 version=$2 root=$5 driver=$6
rm -rf "$work"
mkdir -p "$work"
"$root/cmake/release_zip.sh" "$work/dist" "$version" "$3" "$4" "$root" >/dev/null
zip=$work/dist/HidBridge-$version.zip
failed=0
fail() { echo "$*"; failed=1; }

(cd "$work/dist" && sha256sum --quiet -c "HidBridge-$version.zip.sha256") || fail "the zip does not match its checksum"
expected="HidBridge-$version/HidBridge.x32
HidBridge-$version/README.txt
HidBridge-$version/SHA256SUMS
HidBridge-$version/examples/tour.lingo
HidBridge-$version/lingo.html
HidBridge-$version/xtrahost.exe"
listed=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)
[ "$listed" = "$expected" ] || { fail "the zip holds other files:"; diff <(echo "$expected") <(echo "$listed") || true; }

unzip -q "$zip" -d "$work/unpacked"
folder=$work/unpacked/HidBridge-$version
(cd "$folder" && sha256sum --quiet -c SHA256SUMS) || fail "the unpacked files do not match SHA256SUMS"
grep -q "HidBridge $version" "$folder/README.txt" || fail "the read-me does not name the version"
grep -q '<h2[^>]*>Methods</h2>' "$folder/lingo.html" || fail "the manual has no Methods heading"
grep -q '<table>' "$folder/lingo.html" || fail "the manual's tables did not become HTML tables"

# A prefix of its own, prepared as scripts/lib.sh prepares the build's.
export WINEPREFIX=$work/wineprefix
source "$root/scripts/lib.sh"
wine_session >/dev/null
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
cp "$driver/hbvhid.sys" "$driver/hbvhid.inf" "$folder/"
cd "$folder"
status=0
tour=$(wine xtrahost.exe examples/tour.lingo </dev/null 2>&1 | tr -d '\r') || status=$?
[ $status = 0 ] || fail "the packaged tour ended with status $status"
grep -q "version $version(U)(S)" <<<"$tour" || fail "the packaged tour did not show version $version"
grep -q '^-- xtra "HidBridge" registered' <<<"$tour" || fail "the packaged xtrahost did not load the packaged Xtra"
[ $failed = 0 ] || { echo "$tour" | head -40; echo "0 passed, 1 failed"; exit 1; }
echo "1 passed, 0 failed"
