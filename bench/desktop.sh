#!/usr/bin/env bash
# Runs a command in a desktop of its own, as the end-to-end road has one: a virtual X
# server, a window manager, a private session bus and the accessibility bus. With
# TIRELLO_ACCESSIBILITY=1 the toolkit's bridge to assistive tools is switched on in
# every program started inside (QT_LINUX_ACCESSIBILITY_ALWAYS_ON).
# Usage: bench/desktop.sh <command> [arguments]
set -uo pipefail
[ $# -gt 0 ] || { echo "uso: $0 <comando> [argomenti]"; exit 2; }

for tool in Xvfb openbox dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || { echo "manca $tool (scripts/deps.sh test)"; exit 77; }
done

if [ -z "${TIRELLO_DESKTOP_BUS:-}" ]; then
  export TIRELLO_DESKTOP_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox >"$work/openbox.log" 2>&1 &
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
sleep 0.5
if [ "${TIRELLO_ACCESSIBILITY:-0}" = 1 ]; then
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
fi
"$@"
