#!/usr/bin/env bash
# Long fuzzing: builds the libFuzzer targets (clang, ASan, UBSan) in
# build/fuzz and runs each one, one after another and niced, for at least
# RUNS executions (default 1,000,000), starting from its seed corpus in
# fuzz/corpus/<target>. New corpus entries go to build/fuzz/work/<target>,
# never into the repository. Prints one line per target: executions,
# seconds, edges covered (cov), features (ft), corpus size and the verdict.
# Exits 1 when a target found a crash, a hang or a broken invariant; the
# input is kept as build/fuzz/artifacts/<target>-*.
#
#   scripts/fuzz-long.sh [TARGET...]      (default: every target)
#   RUNS=100000 scripts/fuzz-long.sh cpu  shorter
#   MAX_TIME=600 scripts/fuzz-long.sh     also stop each target after 600 s
#   SEED=1 scripts/fuzz-long.sh           the same mutation sequence every run
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
runs="${RUNS:-1000000}"
max_time="${MAX_TIME:-0}"
seed="${SEED:-0}"
build="$root/build/fuzz"
all_targets=(tape_image wav_tape disk_card rom_folder monitor typed_text dravik cpu state)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")

if [ "${SKIP_BUILD:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake --preset release -B "$build" -DORVANE_FUZZ=ON \
    -DORVANE_WITH_QT=OFF -DORVANE_WITH_BENCH=OFF >/dev/null
  nice -n 10 cmake --build "$build" -j2 --target fuzzers
fi
mkdir -p "$build/artifacts" "$build/logs"

failed=0
printf '%-11s %10s %8s %6s %7s %7s  %s\n' target executions seconds cov ft corpus verdict
for t in "${targets[@]}"; do
  work="$build/work/$t"
  log="$build/logs/$t.log"
  mkdir -p "$work"
  # Absolute paths: a target may change its current directory.
  verdict=ok
  nice -n 10 "$build/fuzz/${t}_fuzzer" -runs="$runs" -max_total_time="$max_time" -seed="$seed" \
    -timeout=20 -rss_limit_mb=2048 -close_fd_mask=3 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$t-" "$work" "$root/fuzz/corpus/$t" >"$log" 2>&1 ||
    { verdict="FAILED (see $log)"; failed=1; }
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)
  [ -z "$done_line" ] && done_line=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  execs=$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+$' || true)
  seconds=$(grep -oE 'Done [0-9]+ runs in [0-9]+ second' "$log" | grep -oE 'in [0-9]+' | grep -oE '[0-9]+' || true)
  cov=$(grep -oE 'cov: [0-9]+' <<<"$done_line" | grep -oE '[0-9]+' || true)
  ft=$(grep -oE 'ft: [0-9]+' <<<"$done_line" | grep -oE '[0-9]+' || true)
  corp=$(grep -oE 'corp: [0-9]+' <<<"$done_line" | grep -oE '[0-9]+' || true)
  printf '%-11s %10s %8s %6s %7s %7s  %s\n' "$t" "${execs:--}" "${seconds:--}" "${cov:--}" \
    "${ft:--}" "${corp:--}" "$verdict"
done
exit $failed
