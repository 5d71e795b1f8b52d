#!/usr/bin/env bash
# Installs what is missing, builds Quorlin and runs the whole test suite without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/dipendenze.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build-test
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
