#!/usr/bin/env bash
# Builds the fuzz targets with clang (address and undefined-behaviour sanitizers) in
# build-fuzz and runs each for the given seconds (60 when not given), two at a time.
# Each starts from its seed corpus in fuzz/corpus; what it adds stays in build-fuzz.
# Fails when any target finds an input that crashes it or breaks one of its checks; the
# input is then in build-fuzz/findings.
#
#   fuzz/run.sh [seconds] [target...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(records archive settings crypt spreadsheet template)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DTIRELLO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target $(printf 'fuzz_%s ' "${targets[@]}") -j2

out=build-fuzz/fuzz-runs
mkdir -p "$out" build-fuzz/findings

options() {
  case $1 in
    # Leak checks after each run make the record target ten times slower: it runs
    # without them (the other targets keep them).
    records) echo "-max_len=32768 -detect_leaks=0" ;;
    archive) echo "-max_len=32768" ;;
    template) echo "-max_len=32768 -dict=fuzz/template.dict" ;;
    settings) echo "-max_len=4096 -dict=fuzz/settings.dict" ;;
    crypt) echo "-max_len=1024 -dict=fuzz/settings.dict" ;;
    spreadsheet) echo "-max_len=8192" ;;
  esac
}

run() {
  local t=$1 corpus=$out/corpus-$1
  mkdir -p "$corpus"
  # The seeds are read, never written: what the run finds goes to its own folder.
  # shellcheck disable=SC2046
  build-fuzz/fuzz/fuzz_$t "$corpus" "fuzz/corpus/$t" $(options "$t") \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=1536 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$t-" >"$out/$t.log" 2>&1
}

failed=()
pending=("${targets[@]}")
while [ ${#pending[@]} -gt 0 ]; do
  pids=() names=()
  for t in "${pending[@]:0:2}"; do
    run "$t" & pids+=($!) names+=("$t")
  done
  pending=("${pending[@]:2}")
  for i in "${!pids[@]}"; do
    t=${names[$i]}
    if wait "${pids[$i]}"; then
      line=$(grep -E '^#[0-9]+' "$out/$t.log" | tail -1 || true)
      echo "fuzz_$t: nessun problema ($line)"
    else
      echo "fuzz_$t: PROBLEMA TROVATO, vedere $out/$t.log e build-fuzz/findings" >&2
      grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$out/$t.log" | head -5 >&2 || true
      failed+=("$t")
    fi
  done
done
[ ${#failed[@]} -eq 0 ]
