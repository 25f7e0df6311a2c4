#!/usr/bin/env bash
# Builds QEL (installing what it needs) and runs every test.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
qel_install_packages
dir="${QEL_BUILD_DIR:-$QEL_ROOT/build}"
qel_build "$dir" ${QEL_CMAKE_ARGS:-}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(qel_jobs)"
