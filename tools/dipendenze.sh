#!/usr/bin/env bash
# Installs the Debian 12 packages Quorlin needs to build, run and test, when any is missing.
set -euo pipefail
PACCHETTI=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-translations-l10n
  libqt6sql6-sqlite libqt6sql6-psql postgresql
  libsimpleini-dev libicu-dev libsqlite3-dev sqlite3
  fonts-dejavu-core xvfb xauth poppler-utils
)
mancanti=()
for p in "${PACCHETTI[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || mancanti+=("$p")
done
if [ ${#mancanti[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${mancanti[@]}"
