#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (as root, or with sudo):
#   bash scripts/velmora.sh run    install what is missing, build, start Velmora
#   bash scripts/velmora.sh test   install what is missing, build, run every test
#                                  (warnings-as-errors build, then ASan+UBSan build)
#   bash scripts/velmora.sh package install what is missing, build the release and
#                                  make build/release/velmora_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core
          xvfb xauth xdotool imagemagick clang libclang-rt-14-dev
          dpkg-dev file desktop-file-utils appstream libpng-dev
          libmpfr-dev libgmp-dev libavcodec-dev libavformat-dev libavutil-dev
          libswscale-dev parallel libcli11-dev nlohmann-json3-dev)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# Each libFuzzer target runs for a bounded time from its seed corpus, one after
# the other: ten targets at 15 s keep the stage under three minutes on two
# cores. scripts/fuzz-long.sh runs them for longer.
fuzz() {
  build fuzz
  VELMORA_FUZZ_SECONDS="${VELMORA_FUZZ_SECONDS:-15}" bash scripts/fuzz-long.sh
}

case "${1:-}" in
  run)
    shift
    install_missing
    build release
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/release/src/gui/velmora ]; then
      exec build/release/src/gui/velmora "$@"
    fi
    if [ ! -x build/release/src/gui/velmora ]; then
      echo "The desktop program was not built (Qt 6 missing?)."
    else
      echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): the desktop program needs one."
      echo "Try: xvfb-run -a build/release/src/gui/velmora, or run this on a desktop."
    fi
    echo "Rendering the default picture with velmora-cli instead..."
    build/release/src/cli/velmora-cli render -o velmora.bmp "$@"
    echo "Wrote velmora.bmp"
    ;;
  test)
    install_missing
    build dev
    ctest --preset dev
    build asan
    ctest --preset asan
    fuzz
    ;;
  package)
    install_missing
    build release
    (cd build/release && cpack -G DEB)
    ls build/release/velmora_*.deb
    ;;
  *)
    echo "usage: bash scripts/velmora.sh run|test|package" >&2
    exit 2
    ;;
esac
