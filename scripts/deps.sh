# Installs the Debian packages Kurvo needs that are not installed yet (sourced by run.sh and
# test.sh). A machine that has them all needs no network.
KURVO_PACKAGES=(
  cmake ninja-build g++ ccache pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev
  libtiff-dev zlib1g-dev libjpeg62-turbo-dev libpng-dev libgif-dev libwebp-dev
  libpoppler-cpp-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth libgl1-mesa-dri locales
  libsane-dev sane-utils
)

kurvo_install_missing() {
  local missing=()
  local p
  for p in "${KURVO_PACKAGES[@]}" "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
