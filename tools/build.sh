#!/usr/bin/env bash
# Sets up a Debian machine, builds, and then runs the program or the tests.
#   tools/build.sh run [kva|kvb]   install what is missing, build, start the program
#   tools/build.sh test            install what is missing, build, run every test
#   tools/build.sh build           install what is missing, build
#   tools/build.sh sanitize        install what is missing, build with AddressSanitizer and
#                                  UndefinedBehaviorSanitizer in build-san, run every test there
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev libqt6sql6-ibase libfbclient2 firebird3.0-server-core
          firebird3.0-utils firebird-dev libgtest-dev fonts-dejavu-core qt6-translations-l10n)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# build [folder [cmake options...]]
build() {
  local dir=${1:-build}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}"
  cmake --build "$dir" -j "$(nproc)"
}

what=${1:-run}
install_missing
case "$what" in
  # The benchmarks are left out: they measure speed, which the sanitizers change, and hold no test.
  sanitize) build build-san -DVO_SANITIZE=ON -DVELISTO_BUILD_BENCH=OFF ;;
  *) build ;;
esac
case "$what" in
  run)  exec "build/bin/${2:-kva}" ;;
  # The suite runs as shards, groups of cases in one process each (see tests/CMakeLists.txt).
  test) cd build && ctest --output-on-failure -j "$(nproc)" -L shard ;;
  sanitize) cd build-san && ctest --output-on-failure -j "$(nproc)" -L shard ;;
  build) ;;
  *) echo "usage: $0 run [kva|kvb] | test | build | sanitize" >&2; exit 2 ;;
esac
