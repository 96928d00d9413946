#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Sidelune
# need; extra package names given as arguments are installed too.
set -euo pipefail
packages=("$@"

  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-translations-l10n      # Qt's own texts (buttons, file dialogs) in French
  qt6-image-formats-plugins  # TIFF frames, beside the formats Qt reads itself
  libcurl4-openssl-dev libcpp-httplib-dev libcfitsio-dev
  fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
