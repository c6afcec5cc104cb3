#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
PKGS=(cmake g++ ninja-build pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
      libsqlite3-dev sqlite3 libwxgtk3.2-dev libcairo2-dev libpango1.0-dev libxlsxwriter-dev libsodium-dev
      fonts-dejavu-core xvfb xauth openbox x11-utils xdotool imagemagick poppler-utils xdg-utils wx3.2-i18n)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Instalando paquetes: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
