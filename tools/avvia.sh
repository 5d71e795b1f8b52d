#!/usr/bin/env bash
# Installs what is missing, builds Quorlin, creates a demo company on the first start and
# opens the application on it. The demo lives in ./demo (PRES.INI, Dati/, Tabelle/).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/dipendenze.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
mkdir -p demo
if [ ! -f demo/Dati/DBPresenze.db ]; then
  build/app/quorlin --ini demo/PRES.INI demo
fi
exec build/app/quorlin --ini demo/PRES.INI
