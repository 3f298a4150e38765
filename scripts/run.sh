#!/usr/bin/env bash
# Builds Tirello (release), lays out the portable program folder Tirello/ and starts it.
# Data already in the folder (archives, settings, the password file) is never touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j2 --target Tirello tirello-setup tirello-archivi

mkdir -p Tirello
cp -f build/Tirello Tirello/Tirello.new && mv -f Tirello/Tirello.new Tirello/Tirello
# The archive check and backup tool goes beside the program.
cp -f build/tirello-archivi Tirello/tirello-archivi.new && mv -f Tirello/tirello-archivi.new Tirello/tirello-archivi
build/tirello-setup Tirello
scripts/desktop-entry.sh "$root/Tirello"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Programma pronto in $root/Tirello, ma nessuna sessione grafica è disponibile per avviarlo." >&2
  exit 1
fi
exec Tirello/Tirello "$@"
