#!/usr/bin/env bash
# Builds the program (installing what it needs) and starts it. The tests and benchmarks are
# built by ./test.sh.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
qel_install_packages
qel_build_program "$QEL_ROOT/build"
if [ -x "$QEL_ROOT/build/app/qel" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    exec xvfb-run -a "$QEL_ROOT/build/app/qel" "$@"
  fi
  exec "$QEL_ROOT/build/app/qel" "$@"
fi
echo "QEL is built; its window is not part of this build yet."
