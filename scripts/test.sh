#!/usr/bin/env bash
# Builds Tirello with its tests and runs the whole suite through CTest, then, when clang++
# is there, a minute of fuzzing for each fuzz target (fuzz/run.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/deps.sh test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build build -j2
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

if command -v clang++ >/dev/null; then
  fuzz/run.sh "${TIRELLO_FUZZ_SECONDS:-60}"
else
  echo "clang++ non trovato: fuzzing non eseguito"
fi
