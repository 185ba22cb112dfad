#!/usr/bin/env bash
# Runs every test binary of a build on its own, in shuffled order, REPEAT
# times (default 1), from the build folder as ctest does. A test that leans
# on what another left behind, or on running first, fails here.
#   scripts/shuffle-tests.sh [BUILD_DIR]    (default build/release)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
repeat=${REPEAT:-1}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
failed=()
for test in "$build"/tests/*; do
    [[ -f $test && -x $test ]] || continue
    name=$(basename "$test")
    if (cd "$build" && "tests/$name" --gtest_shuffle --gtest_repeat="$repeat" >"/tmp/shuffle-$name.log" 2>&1); then
        echo "ok      $name"
    else
        echo "FAILED  $name (log: /tmp/shuffle-$name.log)"
        failed+=("$name")
    fi
done
if ((${#failed[@]})); then
    echo "${#failed[@]} test binaries failed: ${failed[*]}" >&2
    exit 1
fi
