#!/usr/bin/env bash
# Builds and runs every test: the set-up, then the Windows build (tests under
# Wine in the test bench) and the native build (tests under ASan and UBSan).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NAVEKO_BUILD:-$root/build}
"$root/tools/setup.sh"
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
status=0

cmake -S "$root" -B "$build/win" "${gen[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.cmake" >/dev/null
cmake --build "$build/win" -j"$(nproc)"
ctest --test-dir "$build/win" --output-on-failure || status=1

cmake -S "$root" -B "$build/native" "${gen[@]}" >/dev/null
cmake --build "$build/native" -j"$(nproc)"
ctest --test-dir "$build/native" --output-on-failure || status=1

exit $status
