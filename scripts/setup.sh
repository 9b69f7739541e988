#!/usr/bin/env bash
# Twinly's one entry point on a fresh Debian 12 machine.
#   scripts/setup.sh run    install what is needed, build, start twinly
#   scripts/setup.sh test   install what is needed, build, run the whole test suite
#   scripts/setup.sh deps   only install the Debian packages (idempotent)
set -euo pipefail

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"

packages=(
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins libqt6svg6
  libturbojpeg0-dev libmagick++-6.q16-dev libmagickcore-6.q16-6-extra fonts-urw-base35
  libemf2svg-dev libpng-dev libtiff-dev
  libheif-dev libwebp-dev libjxl-dev libraw-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdg-utils
  libjpeg-turbo-progs
  dpkg-dev desktop-file-utils librsvg2-bin imagemagick x11-utils xdotool
  appstream groff-base man-db zsh
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

configure_and_build() {  # build-dir, extra cmake arguments...
  local dir="$1"
  shift
  cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

run_tests() {  # build-dir
  ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout 600
}

case "${1:-}" in
  deps)
    install_packages
    ;;
  run)
    install_packages
    configure_and_build "$top/build" -DCMAKE_BUILD_TYPE=Release -DTWINLY_BUILD_TESTS=OFF
    exec "$top/build/bin/twinly"
    ;;
  test)
    install_packages
    # Warnings are errors here; the sanitizer build runs the same suite. -O1
    # with line tables only (what the sanitizers' reports need) compiles and
    # links in about two thirds of the time of -O2 -g.
    configure_and_build "$top/build-ci" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWINLY_WERROR=ON \
      -DTWINLY_SANITIZE=address,undefined -DTWINLY_BUILD_BENCH=OFF \
      "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
    run_tests "$top/build-ci"
    if [ -x "$top/scripts/extra-checks.sh" ]; then
      "$top/scripts/extra-checks.sh"
    fi
    ;;
  *)
    echo "usage: $0 run|test|deps" >&2
    exit 2
    ;;
esac
