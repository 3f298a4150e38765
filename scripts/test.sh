#!/usr/bin/env bash
# Builds Tirello with its tests and runs the whole suite through CTest, then, when clang++
# is there, a minute of fuzzing for each fuzz target (fuzz/run.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/deps.sh test
# Warnings are errors here: a new warning fails the test command.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DTIRELLO_WERROR=ON >/dev/null
cmake --build build -j2
status=0
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --output-junit ctest-results.xml) || status=$?

# CTest counts a row a test skipped as passed: what was skipped, and why, is listed here.
if [ -f build/ctest-results.xml ] && command -v python3 >/dev/null; then
  python3 - build/ctest-results.xml <<'PY'
import sys, xml.etree.ElementTree as ET
skipped = []
for case in ET.parse(sys.argv[1]).getroot().iter("testcase"):
    if case.find("skipped") is not None:
        skipped.append(f"{case.get('name')}: saltato per intero")
    out = case.findtext("system-out") or ""
    skipped += [line.strip() for line in out.splitlines() if line.startswith("SKIP   :")]
if skipped:
    print("\nRighe saltate (%d):" % len(skipped))
    for line in skipped:
        print("  " + line)
else:
    print("\nNessuna riga saltata.")
PY
fi
[ "$status" -eq 0 ] || exit "$status"

if command -v clang++ >/dev/null; then
  fuzz/run.sh "${TIRELLO_FUZZ_SECONDS:-60}"
else
  echo "clang++ non trovato: fuzzing non eseguito"
fi
