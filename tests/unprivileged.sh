#!/usr/bin/env bash
# Runs test rows that need an ordinary user (a file without read permission, a read-only
# file) as the unprivileged user "nobody" when the suite runs as root, as CI does: root
# reads and writes such files all the same, so there those rows can only skip.
# Usage: tests/unprivileged.sh <test program> <test function[:row]>...
# Exit 77 (skipped) when not root: the rows then ran in the suite itself.
set -euo pipefail
program=${1:?test program}
shift
if [ "$(id -u)" -ne 0 ]; then
  echo "Not root: these rows ran with the suite itself."
  exit 77
fi
if ! command -v setpriv >/dev/null; then
  echo "setpriv is missing (util-linux)"
  exit 1
fi
# A folder of its own that nobody can use, with a copy of the program in it: the build
# folder may lie where nobody cannot enter.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$program" "$dir/"
chown -R nobody:nogroup "$dir"
cd "$dir"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env HOME="$dir" TMPDIR="$dir" XDG_RUNTIME_DIR="$dir" QT_QPA_PLATFORM=offscreen \
  "$dir/$(basename "$program")" "$@"
