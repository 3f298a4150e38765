#!/usr/bin/env bash
# Builds the benchmarks in build-bench (Release, two jobs) and prints the figures with
# their targets. Environment knobs:
#   TIRELLO_BENCH_CLIENTS  size of the client archive (default 100000)
#   TIRELLO_BENCH_REPORTS  test reports in the yearly archive (default 20000)
#   TIRELLO_BENCH_DIR      folder for the temporary archives (default: the temp folder)
#   STARTUP_RUNS           starts of the program per folder (default 10)
# Exit status: 0 all measured, 1 an error, 2 the program does not build yet (no start-up).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="$root/build-bench"
json="$(mktemp "${TMPDIR:-/tmp}/tirello-bench-XXXXXX.json")"
reports_json="$(mktemp "${TMPDIR:-/tmp}/tirello-reports-XXXXXX.json")"
search_json="$(mktemp "${TMPDIR:-/tmp}/tirello-search-XXXXXX.json")"
shared_json="$(mktemp "${TMPDIR:-/tmp}/tirello-shared-XXXXXX.json")"
windows_json="$(mktemp "${TMPDIR:-/tmp}/tirello-windows-XXXXXX.json")"
startup_out="$(mktemp "${TMPDIR:-/tmp}/tirello-startup-XXXXXX.txt")"
trap 'rm -f "$json" "$reports_json" "$search_json" "$shared_json" "$windows_json" "$startup_out"' EXIT

echo "== Configure and build ($build)"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTIRELLO_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target bench_storage tirello-gen bench_startup bench_reports bench_search bench_shared bench_windows -j2

echo
echo "== bench_storage"
"$build/bench/bench_storage" --benchmark_out="$json" --benchmark_out_format=json

echo
echo "== bench_search"
"$build/bench/bench_search" --benchmark_filter='Search|Sqlite3ThreeFilters|Cat' --benchmark_out="$search_json" --benchmark_out_format=json

echo
echo "== bench_reports"
"$build/bench/bench_reports" --benchmark_out="$reports_json" --benchmark_out_format=json

echo
echo "== bench_shared"
"$build/bench/bench_shared" --benchmark_out="$shared_json" --benchmark_out_format=json

echo
echo "== bench_windows"
"$build/bench/bench_windows" --benchmark_out="$windows_json" --benchmark_out_format=json

# real_time in ms of a benchmark: its median over the repetitions when there are some.
# The second argument names the JSON file (default: bench_storage's).
figure() {
    local name="$1" file="${2:-$json}"
    if command -v jq >/dev/null; then
        jq -r --arg n "$name/" '
            [.benchmarks[] | select(.run_name | startswith($n))] as $runs
            | ([$runs[] | select(.aggregate_name == "median")] + [$runs[] | select(.run_type == "iteration")])[0]
            | .real_time * ({"ns": 1e-6, "us": 1e-3, "ms": 1, "s": 1e3}[.time_unit])' "$file"
    else
        python3 - "$file" "$name/" <<'EOF'
import json, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b["run_name"].startswith(sys.argv[2])]
pick = ([b for b in runs if b.get("aggregate_name") == "median"] + [b for b in runs if b["run_type"] == "iteration"])[0]
print(pick["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1, "s": 1e3}[pick["time_unit"]])
EOF
    fi
}

# The largest value of a counter over a JSON file's runs.
counter_max() {
    local name="$1" file="$2"
    if command -v jq >/dev/null; then
        jq -r --arg c "$name" '[.benchmarks[] | .[$c] // empty] | max' "$file"
    else
        python3 - "$file" "$name" <<'EOF'
import json, sys
print(max(b[sys.argv[2]] for b in json.load(open(sys.argv[1]))["benchmarks"] if sys.argv[2] in b))
EOF
    fi
}

verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "within target" : "OVER TARGET" }'; }

scan="$(figure BM_ScanClients)"
cat_ms="$(figure BM_CatClients)"
bytes_only="$(figure BM_ScanClientsBytesOnly)"
two_parts="$(figure BM_ScanClientsTwoParts)"
save="$(figure BM_SaveOneRecord)"
overwrite="$(figure BM_OverwriteOneRecord)"
ratio="$(awk -v a="$scan" -v b="$cat_ms" 'BEGIN { printf "%.2f", a / b }')"
ratio_two="$(awk -v a="$two_parts" -v b="$cat_ms" 'BEGIN { printf "%.2f", a / b }')"

c_three="$(figure BM_SearchThreeFilters "$search_json")"
c_sqlite=""
if grep -q BM_Sqlite3ThreeFilters "$search_json"; then
    c_sqlite="$(figure BM_Sqlite3ThreeFilters "$search_json")"
fi

r_search="$(figure BM_ReportSearchNoFilter "$reports_json")"
r_two="$(figure BM_ReportSearchTwoFilters "$reports_json")"
r_limit="$(figure BM_ReportSearchOutOfLimit "$reports_json")"
r_judge="$(figure BM_JudgeThirtyRows "$reports_json")"
r_limit_ratio="$(awk -v a="$r_limit" -v b="$r_search" 'BEGIN { printf "%.2f", a / b }')"
r_window="$(figure BM_SearchWindowNoFilter "$reports_json")"
r_undelivered="$(figure BM_UndeliveredList "$reports_json")"
r_grid="$(figure BM_ExportGridFill "$reports_json")"
r_count="$(figure BM_CountRecords "$reports_json")"
r_dblclick="$(figure BM_DoubleClickScan "$reports_json")"
r_cat="$(figure BM_CatReports "$reports_json")"
r_ratio="$(awk -v a="$r_search" -v b="$r_cat" 'BEGIN { printf "%.2f", a / b }')"

# A share figure is missing where no sshfs mount could be made (not root, no FUSE).
shared_figure() { grep -q "\"$1/" "$shared_json" && figure "$1" "$shared_json" || echo ""; }
s_new_local="$(figure BM_SaveNewReportLocal "$shared_json")"
s_over_local="$(figure BM_SaveOverReportLocal "$shared_json")"
s_new_share="$(shared_figure BM_SaveNewReportShare)"
s_over_share="$(shared_figure BM_SaveOverReportShare)"

echo
echo "== bench_startup"
startup_status=0
startup_line=""
if cmake --build "$build" --target Tirello -j2 >"$build/tirello-build.log" 2>&1; then
    "$build/bench/bench_startup" --runs "${STARTUP_RUNS:-10}" | tee "$startup_out"
    startup_line="$(grep '^startup_median_ms' "$startup_out" || true)"
else
    echo "The program does not build yet (see $build/tirello-build.log): start-up not measured."
    startup_status=2
fi

echo
echo "== Figures (medians, wall-clock)"
printf '  %-52s %9.1f ms\n' "Scan of the client archive, every field decoded" "$scan"
printf '  %-52s %9.1f ms\n' "cat of the same file to /dev/null" "$cat_ms"
printf '  %-52s %9sx   target <= 2x: %s\n' "Ratio scan / cat" "$ratio" "$(verdict "$ratio" 2)"
printf '  %-52s %9.1f ms\n' "The same, decoded on both cores (scanParts)" "$two_parts"
printf '  %-52s %9sx   target <= 2x: %s\n' "Ratio scan on both cores / cat" "$ratio_two" "$(verdict "$ratio_two" 2)"
printf '  %-52s %9.1f ms   (reading alone, for diagnosis)\n' "Scan without decoding" "$bytes_only"
printf '  %-52s %9.2f ms   target <= 20 ms: %s\n' "Save of one new client record (flushed to disk)" "$save" "$(verdict "$save" 20)"
printf '  %-52s %9.2f ms   target <= 20 ms: %s\n' "Save of one edited client record (in place)" "$overwrite" "$(verdict "$overwrite" 20)"
printf '  %-52s %9.1f ms\n' "Client search, three filters" "$c_three"
if [[ -n "$c_sqlite" ]]; then
    c_ratio="$(awk -v a="$c_three" -v b="$c_sqlite" 'BEGIN { printf "%.2f", a / b }')"
    printf '  %-52s %9.1f ms\n' "sqlite3, the same search on the same rows" "$c_sqlite"
    printf '  %-52s %9sx   target < 1x: %s\n' "Ratio client search / sqlite3" "$c_ratio" \
        "$(awk -v v="$c_ratio" 'BEGIN { print (v < 1) ? "within target" : "OVER TARGET" }')"
else
    printf '  %-52s %12s\n' "sqlite3, the same search" "not installed"
fi
reports_label="${TIRELLO_BENCH_REPORTS:-20000} reports"
printf '  %-52s %9.1f ms   target <= 1000 ms: %s\n' "Report search, no filter ($reports_label)" "$r_search" "$(verdict "$r_search" 1000)"
printf '  %-52s %9.1f ms   target <= 1000 ms: %s\n' "Report search, two filters" "$r_two" "$(verdict "$r_two" 1000)"
printf '  %-52s %9.1f ms\n' "Report search, only results out of limit" "$r_limit"
printf '  %-52s %9sx   target < 1.5x: %s\n' "Ratio search out of limit / search no filter" "$r_limit_ratio" \
    "$(awk -v v="$r_limit_ratio" 'BEGIN { print (v < 1.5) ? "within target" : "OVER TARGET" }')"
printf '  %-52s %9.4f ms   target < 0.1 ms: %s\n' "Thirty results judged against their limits (card)" "$r_judge" \
    "$(awk -v v="$r_judge" 'BEGIN { print (v < 0.1) ? "within target" : "OVER TARGET" }')"
printf '  %-52s %9.1f ms   target <= 1000 ms: %s\n' "Search window filled, no filter" "$r_window" "$(verdict "$r_window" 1000)"
printf '  %-52s %9.1f ms   target <= 1000 ms: %s\n' "Undelivered reports list" "$r_undelivered" "$(verdict "$r_undelivered" 1000)"
printf '  %-52s %9.1f ms   target <= 1000 ms: %s\n' "Report export grid filled" "$r_grid" "$(verdict "$r_grid" 1000)"
printf '  %-52s %9.3f ms   target <= 1000 ms: %s\n' "Record count of the year (Nuovo)" "$r_count" "$(verdict "$r_count" 1000)"
printf '  %-52s %9.1f ms   (for information)\n' "Double click: the archive read for the chosen line" "$r_dblclick"
printf '  %-52s %9.1f ms\n' "cat of the report archive to /dev/null" "$r_cat"
printf '  %-52s %9sx   target <= 2x: %s\n' "Ratio report search (no filter) / cat" "$r_ratio" "$(verdict "$r_ratio" 2)"
printf '  %-52s %9.2f ms   target <= 20 ms: %s\n' "Save of a new report with its checks (local disk)" "$s_new_local" "$(verdict "$s_new_local" 20)"
printf '  %-52s %9.2f ms   target <= 20 ms: %s\n' "Save over a stored report with its checks (local)" "$s_over_local" "$(verdict "$s_over_local" 20)"
for pair in "new report:$s_new_share" "stored report:$s_over_share"; do
    ms="${pair#*:}"
    if [[ -n "$ms" && "$ms" != 0 ]]; then
        printf '  %-52s %9.2f ms   target <= 150 ms: %s\n' "Save of a ${pair%%:*} through sshfs" "$ms" "$(verdict "$ms" 150)"
    else
        printf '  %-52s %12s\n' "Save of a ${pair%%:*} through sshfs" "not measured"
    fi
done
for w in ClientSearch:"Client search window, no filter (100,000 lines)" \
         ClientsToRecontact:"Clients to recontact window" ModelSearch:"Model search window" \
         ModelImport:"Model import window" ReportSearch:"Report search window, no filter" \
         UndeliveredReports:"Undelivered reports window" CertificateSearch:"Certificate search window, no filter" \
         UndeliveredCertificates:"Undelivered certificates window" ExportClients:"Client export window (grid shown)" \
         ExportModels:"Model export window" ExportReports:"Report export window" \
         ExportCertificates:"Certificate export window"; do
    ms="$(figure "BM_${w%%:*}" "$windows_json")"
    printf '  %-52s %9.1f ms   target <= 100 ms: %s\n' "${w#*:}" "$ms" "$(verdict "$ms" 100)"
done
w_peak="$(counter_max peak_MB "$windows_json")"
printf '  %-52s %9.1f MB   (the whole session: bench/session.sh)\n' "Peak resident memory with a window open" "$w_peak"
if [[ -n "$startup_line" ]]; then
    for kv in ${startup_line#startup_median_ms }; do
        ms="${kv#*=}"
        printf '  %-52s %9.1f ms   target <= 300 ms: %s\n' "Start-up to the login window (${kv%%=*} folder)" "$ms" "$(verdict "$ms" 300)"
    done
else
    printf '  %-52s %12s\n' "Start-up to the login window" "not measured"
fi
exit "$startup_status"
