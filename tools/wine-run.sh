#!/usr/bin/env bash
# Runs a Windows program of the build in the test bench's Wine prefix
# (the bench folder comes from $NAVEKO_BENCH, set by the test definitions).
set -euo pipefail
: "${NAVEKO_BENCH:?NAVEKO_BENCH is not set: start the bench first (tools/bench.sh start DIR)}"
# shellcheck disable=SC1091
. "$NAVEKO_BENCH/env"
# A caller may run the program on another display than the bench's (a screen of another depth).
if [ -n "${NAVEKO_DISPLAY:-}" ]; then export DISPLAY=$NAVEKO_DISPLAY; fi
exec wine "$@"
