#!/bin/sh
# Fails when a C or C++ source of the project is not formatted as the
# .clang-format at the root says, and names each such file.
set -u
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null 2>&1 || { echo "clang-format is not installed (scripts/install-deps.sh)"; exit 1; }
files=$(find src tests tools -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort)
# One clang-format for every file: it names each place that would change.
# shellcheck disable=SC2086
report=$(clang-format --dry-run --Werror $files 2>&1)
status=$?
if [ $status -ne 0 ]; then
  printf '%s\n' "$report" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/not formatted: \1/p' | sort -u
  printf '%s\n' "$report" | grep -v 'code should be clang-formatted' | grep -q 'error' && printf '%s\n' "$report" | tail -5
  echo "run: clang-format -i <file>"
  exit 1
fi
exit 0
