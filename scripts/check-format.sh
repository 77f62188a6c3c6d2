#!/bin/sh
# Fails when a C or C++ source of the project is not formatted as the
# .clang-format at the root says, and names each such file.
set -u
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null 2>&1 || { echo "clang-format is not installed (scripts/install-deps.sh)"; exit 1; }
status=0
for file in $(find src tests tools -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort); do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file (run: clang-format -i $file)"
    status=1
  fi
done
exit $status
