#!/usr/bin/env bash
# Fails when a tracked C++ source is not as clang-format (.clang-format)
# would write it; lists the files.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r file; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    bad+=("$file")
  fi
done < <(git ls-files '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
  printf 'check-format: not clang-formatted (run clang-format -i):\n' >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "check-format: every C++ source is formatted"
