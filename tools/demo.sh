#!/usr/bin/env bash
# Builds the program and runs it under Wine: on your display when there is one
# (close the window to end it), otherwise under Xvfb, writing a screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NAVEKO_BUILD:-$root/build}
"$root/tools/setup.sh"
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
cmake -S "$root" -B "$build/win" "${gen[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.cmake" >/dev/null
cmake --build "$build/win" -j"$(nproc)" --target Project2

bench="$build/demo-bench"
had_display=${DISPLAY:-}
"$root/tools/bench.sh" start "$bench"
trap '"$root/tools/bench.sh" stop "$bench"' EXIT
# shellcheck disable=SC1091
. "$bench/env"
exe="$build/win/app/Project2.exe"

if [ -n "$had_display" ]; then
  echo "demo: the window is on your display; close it to end the demo"
  wine "$exe"
else
  wine "$exe" >"$bench/program.log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    xdotool search --name '^NAVEKO' >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 1
  shot="$build/demo-screenshot.png"
  import -window root "$shot"
  echo "demo: screenshot written to $shot"
  xid=$(xdotool search --name '^NAVEKO تحديث' | head -n1)
  xdotool windowfocus --sync "$xid" key --clearmodifiers alt+F4
  wait "$pid" && echo "demo: the program ended after Alt+F4"
fi
