# Sourced by ./run, ./test and .ci/run: installs the Debian 12 packages the
# build, the tests and the tools need, when any is missing. Needs root or sudo.

CORVANTA_PACKAGES=(
  g++ cmake ninja-build pkg-config dpkg-dev file
  googletest libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-documentation-tools
  qt6-qpa-plugins libqt6svg6 libqt6sql6-sqlite libgl-dev
  libsndfile1-dev qt6-multimedia-dev pulseaudio pulseaudio-utils
  libjack-jackd2-dev jackd2
  clang libclang-rt-14-dev
  poppler-utils desktop-file-utils appstream
  ngspice hyperfine strace
)

corvanta_ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing Debian packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Root or sudo is needed to install: ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
