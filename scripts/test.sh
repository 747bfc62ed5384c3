#!/usr/bin/env bash
# Installs what the build needs, builds everything and runs every test; non-zero on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

quillot_install_packages
quillot_build
cd "$QUILLOT_ROOT/build"
ctest --output-on-failure -j "$(nproc)" "$@"
