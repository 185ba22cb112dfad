#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) on the core's sources, two at a
# time, with the compile commands of a build tree (default build/release).
# Fails with clang-tidy's findings.
#
#   scripts/check-tidy.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "check-tidy: no $build/compile_commands.json (configure the build first)" >&2
  exit 2
fi
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
git ls-files 'codec/*.cpp' 'files/*.cpp' 'cpu/*.cpp' 'sound/*.cpp' 'data/*.cpp' 'machine/*.cpp' \
             'media/*.cpp' 'monitor/*.cpp' 'abc80/*.cpp' |
  grep -v '^data/tools/' |
  xargs -P 2 -n 4 "$tidy" -p "$build" --quiet 2>/dev/null
echo "check-tidy: the core is clean"
