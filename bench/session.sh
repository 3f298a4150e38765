#!/usr/bin/env bash
# One working session of the real program on a big laboratory's archives (see
# session.py), in a desktop of its own (see desktop.sh).
# Usage: bench/session.sh <build folder> <folder with the four archives> [session.py options]
# The archives: build/bench/tirello-gen <folder> --clients 100000 --models 2000
#               --reports 20000 --certificates 5000 --year 2024
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?cartella di compilazione}" && pwd)
data=$(cd "${2:?cartella degli archivi}" && pwd)
shift 2
command -v xdotool >/dev/null || { echo "manca xdotool (scripts/deps.sh test)"; exit 77; }
export PYTHONDONTWRITEBYTECODE=1 LC_ALL=C.UTF-8
exec "$here/desktop.sh" /usr/bin/python3 -u "$here/session.py" "$build" "$data" "$@"
