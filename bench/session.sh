#!/usr/bin/env bash
# One working session of the real program on a big laboratory's archives (see
# session.py), in a desktop of its own: a virtual X server, a window manager, a private
# session bus and the accessibility bus, as the end-to-end road has.
# Usage: bench/session.sh <build folder> <folder with the four archives> [session.py options]
# The archives: build/bench/tirello-gen <folder> --clients 100000 --models 2000
#               --reports 20000 --certificates 5000 --year 2024
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?cartella di compilazione}" && pwd)
data=$(cd "${2:?cartella degli archivi}" && pwd)
shift 2

for tool in Xvfb openbox dbus-run-session xdotool /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || { echo "manca $tool (scripts/deps.sh test)"; exit 77; }
done

if [ -z "${TIRELLO_SESSION_BUS:-}" ]; then
  export TIRELLO_SESSION_BUS=1
  exec dbus-run-session -- "$0" "$build" "$data" "$@"
fi

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
export PYTHONDONTWRITEBYTECODE=1 LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox >"$work/openbox.log" 2>&1 &
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
sleep 0.5
/usr/bin/python3 -u "$here/session.py" "$build" "$data" "$@"
