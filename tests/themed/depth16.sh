#!/usr/bin/env bash
# Runs the 16-bit-screen cases of te_win_tests on an Xvfb of depth 16 of its
# own (the bench's wineserver and prefix; only the display differs), and stops
# that Xvfb by its process id also when the run fails.
set -uo pipefail
tests=$1
run=$(dirname "$0")/../../tools/wine-run.sh
n=120
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 800x600x16 -nolisten tcp -noreset >/dev/null 2>&1 </dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$n" ] || { echo "depth16: Xvfb did not start" >&2; exit 1; }
# wine-run.sh takes DISPLAY from the bench; this run's display is given after it.
NAVEKO_DISPLAY=":$n" NAVEKO_EXPECT_DEPTH16=1 "$run" "$tests" --gtest_filter='Depth16.*'
