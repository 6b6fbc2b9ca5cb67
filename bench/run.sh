#!/usr/bin/env bash
# Runs the benchmarks: builds the native drivers in Release without sanitizers
# (build/bench), installs SheetJS for the comparison (build/bench/node), then
# prints the figures as ratios against the baselines run side by side.
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "$0")/../tools/lib.sh"
"$root/tools/setup.sh"
out="$build/bench"
cmake -S "$root" -B "$out" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DNAVEKO_SANITIZE=OFF -DNAVEKO_BENCHMARKS=ON >/dev/null
cmake --build "$out" -j"$(nproc)" --target read_xlsx update_run pixels effects
if [ ! -d "$out/node/node_modules/xlsx" ]; then
  mkdir -p "$out/node"
  (cd "$out/node" && npm install --silent --no-audit --no-fund xlsx >/dev/null)
fi
"$out/bench/pixels"
echo
"$out/bench/effects"
echo
NODE_PATH="$out/node/node_modules" /usr/bin/python3 "$root/bench/benchmarks.py" "$out" "$@"
