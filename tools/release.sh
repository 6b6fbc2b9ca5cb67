#!/usr/bin/env bash
# Builds the program a pharmacy installs: optimised, stripped and statically
# linked, with its icon, version resource and application manifest, as
# build/release/dist/Project2.exe (NAVEKO_BUILD moves build/). Prints its size
# and the DLLs it imports.
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "$0")/lib.sh"
"$root/tools/setup.sh"
cmake -S "$root" -B "$build/release" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/release" -j"$(nproc)" --target Project2
mkdir -p "$build/release/dist"
x86_64-w64-mingw32-strip --strip-all -o "$build/release/dist/Project2.exe" "$build/release/app/Project2.exe"
echo "release: $build/release/dist/Project2.exe ($(stat -c %s "$build/release/dist/Project2.exe") bytes)"
echo "release: imports $(x86_64-w64-mingw32-objdump -p "$build/release/dist/Project2.exe" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"
