# Shared by the project's scripts: installing what is missing, building a
# preset, and keeping one Wine prefix (and one wineserver) for the build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PACKAGES=(cmake ninja-build g++ clang libgtest-dev libbenchmark-dev g++-mingw-w64-i686 wine wine32
          python3-markdown zip unzip ccache)

missing_packages() {
  local package
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || echo "$package"
  done
}

setup() {
  local missing
  missing=$(missing_packages | tr '\n' ' ')
  dpkg --print-foreign-architectures | grep -qx i386 || missing="$missing(i386 architecture)"
  [ -z "${missing// /}" ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing: $missing"
    echo "Run as root first:  sudo $ROOT/scripts/setup"
    exit 1
  fi
  echo "== installing: $missing"
  dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${PACKAGES[@]}" >/dev/null
}

# A compiler cache makes a rebuild on a machine that built before, from this
# clone or another (paths are taken relative to the clone), a matter of links.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=1

build_preset() {
  local preset=$1
  echo "== building $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}

export WINEPREFIX=${WINEPREFIX:-$ROOT/build/windows/wineprefix}
export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a headless prefix.
export WINEDLLOVERRIDES=mscoree,mshtml=

# A fresh prefix shows Wine's HID devices only once wineboot has finished.
# Without a display Wine makes no windows, not even the Xtra's hidden one,
# unless its null graphics driver is chosen.
wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== preparing the Wine prefix"
    wineboot -u >/dev/null 2>&1
    wineserver -w
  fi
  if ! grep -qs '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -w
  fi
}

# One wineserver for every Wine run that follows; ended when the script ends.
# Wine's own services start here, on /dev/null: started by a test instead,
# they would keep its output pipe open and CTest would wait forever.
# A virtual HID device that a crashed test run left in the prefix comes back
# with every Wine start (virtual-hid/), so it goes before anything lists
# devices.
wine_session() {
  wine_prefix
  wineserver -p
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wineboot >/dev/null 2>&1 </dev/null
  local vhidctl=$ROOT/build/windows/bin/vhidctl.exe
  if [ -f "$vhidctl" ]; then wine "$vhidctl" cleanup >/dev/null 2>&1 </dev/null; fi
}
