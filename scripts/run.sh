#!/usr/bin/env bash
# Installs what the build needs, builds the program (optimised, with debug info) and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

quillot_install_packages
if [ ! -d "$QUILLOT_ROOT/app" ]; then
  quillot_build
  echo "The engine and its tests are built; the program itself (app/) does not exist yet."
  exit 0
fi
quillot_build --target quillot
exec "$QUILLOT_ROOT/build/app/quillot" "$@"
