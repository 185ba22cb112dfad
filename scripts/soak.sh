#!/usr/bin/env bash
# Soak test: the headless runner with the open firmware running a looping
# BASIC program, 1,000,000 frames in the fast timing and 100,000 in the
# cycle-based timing. Each mode runs twice, to 10 % and to 100 % of its
# length, and the peak resident size of both runs is reported: memory use is
# flat when the two agree. Every run must end with exit code 0 and with the
# program still printing its counter on the screen.
#
#   scripts/soak.sh [BUILD_DIR]          (default build/release; built if needed)
#   FAST_FRAMES=... CYCLE_FRAMES=... scripts/soak.sh   to shorten the run
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
fast_frames="${FAST_FRAMES:-1000000}"
cycle_frames="${CYCLE_FRAMES:-100000}"

if [ ! -x "$build/bin/orvane" ]; then
  cmake --preset release -B "$build" >/dev/null
  cmake --build "$build" -j2 --target orvane
fi
orvane="$build/bin/orvane"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Counts, prints, loops, calls a subroutine and writes memory and the sound port.
program='NEW\r10 A=A+1:IF A>9999 THEN A=0\r20 PRINT A;\r30 FOR I=1 TO 3:B=A*I:NEXT I\r'
program+='40 IF A-A/100*100=0 THEN GOSUB 100\r50 POKE 40000,A:GOTO 10\r'
program+='100 PRINT "HUNDRED":SOUND A:RETURN\rRUN\r'

# run MODE FRAMES: prints "seconds peak_kib" and checks the screen.
run() {
  local mode="$1" frames="$2" log="$work/$1-$2"
  /usr/bin/time -f '%e %M' -o "$log.time" nice -n 10 "$orvane" --headless "--$mode" \
    --frames "$frames" --printer-dir "$work" --type "$program" --screen-text \
    >"$log.screen" 2>"$log.err" || {
    echo "soak: $mode run of $frames frames failed" >&2
    cat "$log.err" >&2
    exit 1
  }
  if ! grep -q '[0-9]' "$log.screen" || grep -q 'ERROR\|IN LINE' "$log.screen"; then
    echo "soak: $mode run of $frames frames: the program is not running" >&2
    cat "$log.screen" >&2
    exit 1
  fi
  cat "$log.time"
}

printf '%-12s %10s %10s %14s\n' mode frames seconds "peak RSS KiB"
for mode in fast cycle-based; do
  total=$fast_frames
  [ "$mode" = cycle-based ] && total=$cycle_frames
  for frames in $((total / 10)) "$total"; do
    read -r seconds peak < <(run "$mode" "$frames")
    printf '%-12s %10s %10s %14s\n' "$mode" "$frames" "$seconds" "$peak"
  done
done
