# What the CI scripts share: installing the Debian packages that are missing. Sourced, not run.
#
#   need_command cmake cmake           # the package, unless the command is on the PATH
#   need_file /usr/include/histedit.h libedit-dev   # the package, unless the file exists
#   need_package libclang-rt-14-dev    # the package, unless dpkg has it installed
#   install_needed [--no-install-recommends]   # installs every package noted so far, once each
#
# Installing takes root, as in CI; without it the script stops and names what is missing. The
# package lists are updated once in a run, however many scripts of that run install something.

needed_packages=()

need_command() {
  command -v "$1" >/dev/null || needed_packages+=("$2")
}

need_file() {
  [ -e "$1" ] || needed_packages+=("$2")
}

need_package() {
  dpkg -s "$1" >/dev/null 2>&1 || needed_packages+=("$1")
}

# Options are given to apt-get install as they are.
install_needed() {
  [ ${#needed_packages[@]} -gt 0 ] || return 0
  local packages
  packages=$(printf '%s\n' "${needed_packages[@]}" | sort -u | paste -s -d ' ')
  needed_packages=()
  if [ "$(id -u)" -ne 0 ]; then
    echo "$(basename "$0"): these Debian packages are missing: $packages" >&2
    echo "Run it as root, as CI does, to have them installed, or install them as root:" >&2
    echo "  apt-get install $packages" >&2
    exit 1
  fi
  if [ -z "${CALCULATOR_APT_UPDATED:-}" ]; then
    apt-get update -qq
    export CALCULATOR_APT_UPDATED=1
  fi
  # shellcheck disable=SC2086 # one word per package
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" $packages
}
