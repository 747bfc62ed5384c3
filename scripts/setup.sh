#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the Debian packages the build needs when any
# is missing, then configures and builds the default preset in build/.
# Sourced, not run: the caller decides what happens after the build.

QUILLOT_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Every Debian package the build, the tests and the benchmarks need.
QUILLOT_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libcurl4-openssl-dev libssl-dev openssl libarchive-dev
  libsdl2-dev libsdl2-mixer-dev libglew-dev libgl-dev libegl-dev libx11-dev libpng-dev
  libopenxr-dev libopenxr-loader1
  libfreetype-dev fonts-dejavu-core
  libegl1 libegl-mesa0 libgl1-mesa-dri
  xvfb xauth
  googletest libgtest-dev libgmock-dev libbenchmark-dev
)

quillot_missing_packages() {
  local pkg missing=()
  for pkg in "${QUILLOT_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  echo "${missing[@]}"
}

quillot_install_packages() {
  local missing
  missing="$(quillot_missing_packages)"
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing missing packages: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q || return 1
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing || return 1
  else
    echo "Missing packages. Install them with:"
    echo "  sudo apt-get install -y $missing"
    return 1
  fi
}

quillot_build() {
  cd "$QUILLOT_ROOT" || return 1
  if [ ! -f build/CMakeCache.txt ]; then
    cmake --preset default || return 1
  fi
  cmake --build build "$@"
}
