#!/usr/bin/env bash
# Installs what is missing, builds Quorlin and runs the whole test suite without a display,
# on SQLite and on a throwaway PostgreSQL server started for the run (tools/postgres.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$(pwd)
tools/dipendenze.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build-test
server=$(mktemp -d "${TMPDIR:-/tmp}/quorlin-pg.XXXXXX")
trap '"$radice/tools/postgres.sh" ferma "$server"' EXIT
# Without its server the PostgreSQL half would only fail test by test: stop here, saying why.
if ! ambiente=$(tools/postgres.sh avvia "$server"); then
  echo "tools/prova.sh: il server PostgreSQL di prova non parte, i test non vengono eseguiti" >&2
  exit 1
fi
eval "$ambiente"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
