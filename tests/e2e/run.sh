#!/usr/bin/env bash
# Runs the end-to-end road in a desktop of its own: a virtual X server with an Italian
# keyboard, a window manager, a private session bus and the accessibility bus.
# Usage: tests/e2e/run.sh <build folder> [script.py [its arguments]]
#   (exit 77: what it needs is missing, skipped). The script defaults to the main road;
#   TIRELLO_E2E_SCREEN sets the virtual screen (default 1280x1024x24).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?cartella di compilazione}" && pwd)
script=${2:-main_road.py}
extra=("${@:3}")

missing=()
for tool in Xvfb openbox dbus-run-session xdotool setxkbmap /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || missing+=("python3-pyatspi")
if [ ${#missing[@]} -gt 0 ]; then
  echo "Prova completa saltata: mancano ${missing[*]} (scripts/deps.sh test li installa)."
  # Where the test command installed them on purpose, their absence is a failure.
  [ "${TIRELLO_REQUIRE_ENVIRONMENT:-0}" = 1 ] && exit 1
  exit 77
fi

if [ -z "${TIRELLO_E2E_SESSION:-}" ]; then
  export TIRELLO_E2E_SESSION=1
  exec dbus-run-session -- "$0" "$build" "$script" "${extra[@]}"
fi

# Inside the private session bus.
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "${TIRELLO_E2E_SCREEN:-1280x1024x24}" -nolisten tcp >"$work/xvfb.log" 2>&1 &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
  echo "Il server X virtuale non è partito:"; cat "$work/xvfb.log"; exit 1
fi
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
export PYTHONDONTWRITEBYTECODE=1
# Typed texts hold accented letters: the key tool reads them in the locale's encoding.
export LC_ALL=C.UTF-8
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
setxkbmap it
openbox >"$work/openbox.log" 2>&1 &
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
sleep 0.5

/usr/bin/python3 -u "$here/$script" "$build" "${extra[@]}"
