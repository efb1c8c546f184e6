#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test Vexa Message Editor.
# Idempotent: packages already present are skipped by apt-get. Works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6
  libgl-dev libudev-dev libc6-dev
  qt6-qpa-plugins
  fonts-liberation fonts-wqy-microhei fonts-tlwg-garuda-ttf fontconfig
  xvfb xauth xdg-utils imagemagick
  dbus at-spi2-core python3-pyatspi xdotool
  socat python3 python3-pil ccache ser2net
  qt6-svg-dev qt6-image-formats-plugins dpkg-dev lintian desktop-file-utils appstream man-db bash
  clang libclang-rt-14-dev clang-format
)

if [ "$(id -u)" -eq 0 ]; then
  run() { "$@"; }
else
  run() { sudo "$@"; }
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
run apt-get update -qq
run apt-get install -y -qq --no-install-recommends "${missing[@]}"
