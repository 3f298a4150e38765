#!/usr/bin/env bash
# Takes the manual's pictures again from the running program, into docs/img, after a
# window has changed; the next build puts them into Guida.pdf.
# Usage: scripts/pictures.sh [build folder] [--all <folder>]
#   --all also captures every other window of the program into that folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
  build=$1
  shift
fi
"$root/scripts/deps.sh" test
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target Tirello tirello-setup
# The pictures are taken on a screen of the size the windows are drawn for.
TIRELLO_E2E_SCREEN=1024x768x24 "$root/tests/e2e/run.sh" "$build" pictures.py "$root/docs/img" "$@"
echo "Ricompilare (cmake --build) perché Guida.pdf contenga le immagini nuove."
