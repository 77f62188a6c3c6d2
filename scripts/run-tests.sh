#!/bin/sh
# Runs every test of the three build trees in one ctest run, on a private X
# display (the Wine tiers need one), and stops the tree's Wine server after.
set -u
cd "$(dirname "$0")/.."

# One test file for the whole build folder, so that one ctest run counts all labels.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs("native")
subdirs("sanitize")
subdirs("windows")
CTEST

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
xvfb-run -a -s "-screen 0 1280x800x24" \
  ctest --test-dir build --output-on-failure -j2 --timeout 600 "$@"
status=$?
WINEPREFIX="$PWD/build/windows/wineprefix" wineserver -k >/dev/null 2>&1
exit $status
