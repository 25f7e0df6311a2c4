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

# How many jobs compile and test at once: QEL_JOBS when it is set, else one per core.
qel_jobs() {
  if [ -n "${QEL_JOBS:-}" ]; then
    case "$QEL_JOBS" in
      ''|*[!0-9]*|0) echo "QEL_JOBS must be a whole number above 0, not '$QEL_JOBS'." >&2; return 1 ;;
    esac
    echo "$QEL_JOBS"
  else
    nproc
  fi
}

# qel_configure <build dir> [extra cmake arguments...]: configures (the first time, and when
# the arguments change).
qel_configure() {
  local dir="$1"; shift
  cmake -S "$QEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# qel_build <build dir> [extra cmake arguments...]: configures and builds every target.
qel_build() {
  local dir="$1" jobs; shift
  jobs=$(qel_jobs)
  qel_configure "$dir" "$@"
  cmake --build "$dir" --parallel "$jobs" -- -k 0
}

# qel_build_program <build dir>: configures and builds the program alone (no tests, no
# benchmarks).
qel_build_program() {
  local dir="$1" jobs
  jobs=$(qel_jobs)
  qel_configure "$dir"
  cmake --build "$dir" --parallel "$jobs" --target qel
}
