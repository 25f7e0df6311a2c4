# Shared set-up for run.sh, test.sh and .ci/run. Source it; do not run it.
QEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Installs the packages of scripts/packages.txt that are missing.
qel_install_packages() {
  local wanted missing=()
  wanted=$(grep -v -E '^\s*(#|$)' "$QEL_ROOT/scripts/packages.txt")
  for p in $wanted; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# qel_build <build dir> [extra cmake arguments...]: configures (once) and builds.
qel_build() {
  local dir="$1"; shift
  cmake -S "$QEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -- -k 0
}
