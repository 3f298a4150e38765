#!/usr/bin/env bash
# Installs the Debian packages Tirello needs, only those that are missing.
# Usage: scripts/deps.sh [run|test]
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-translations-l10n qt6-qpa-plugins libgl-dev
  fonts-liberation fonts-dejavu-core poppler-utils
  libarchive-dev
)
if [ "${1:-run}" = run ]; then
  packages+=(xdg-utils)
else
  # The tests open every export in a real spreadsheet program; clang and its runtime
  # libraries build the fuzz targets (fuzz/run.sh).
  packages+=(libreoffice-calc-nogui clang libclang-rt-14-dev)
  # The end-to-end road runs in a virtual desktop driven over the accessibility bus.
  packages+=(xvfb openbox dbus-daemon at-spi2-core python3-pyatspi xdotool x11-xkb-utils xkb-data)
  # The manual's pictures (scripts/pictures.sh) are read from the screen.
  packages+=(x11-apps x11-utils)
  # Real printing goes to a print queue that writes PDF files.
  packages+=(cups printer-driver-cups-pdf)
  # Issued documents are checked as archival PDF files (structure, fonts, metadata).
  packages+=(qpdf)
  # Two stations on one shared folder: the folder mounted twice through an SSH server.
  packages+=(openssh-server sshfs)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  apt=(apt-get)
else
  apt=(sudo apt-get)
fi
echo "Installazione dei pacchetti mancanti: ${missing[*]}"
"${apt[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
