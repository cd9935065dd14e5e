#!/bin/sh
# Installs the Debian packages the build needs. As root it runs apt-get;
# otherwise it prints the apt-get line to run. SDL2 and FFmpeg's libraries
# are optional: without SDL2 the programs build with the headless back end
# only.
set -eu

required="g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev libfreetype-dev fonts-dejavu-core libpng-dev libenet-dev time"
# Sound effects and music: OpenAL Soft (its loopback device when headless).
required="$required libopenal-dev"
# The 3-D device: OpenGL through EGL on Mesa (its software rasteriser without a GPU).
required="$required libegl-dev libgl-dev libgl1-mesa-dri libegl-mesa0"
optional="ccache libsdl2-dev libavformat-dev libavcodec-dev libswresample-dev xvfb xauth"

missing() {
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      printf '%s ' "$package"
    fi
  done
}

missing_required=$(missing $required)
missing_optional=$(missing $optional)
if [ -z "$missing_required$missing_optional" ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:"
  echo "  sudo apt-get install -y $missing_required$missing_optional"
  [ -z "$missing_required" ] && exit 0
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -q </dev/null >/dev/null || echo "install-deps: apt-get update failed; trying with the lists at hand"
if [ -n "$missing_required" ]; then
  apt-get install -y -q --no-install-recommends $missing_required </dev/null
fi
if [ -n "$missing_optional" ]; then
  apt-get install -y -q --no-install-recommends $missing_optional </dev/null ||
    echo "install-deps: optional packages not installed ($missing_optional); building headless only"
fi
