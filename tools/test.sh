#!/usr/bin/env bash
# Builds and runs every test: the set-up, then the Windows build (tests under
# Wine in the test bench) and the native build (tests under ASan and UBSan).
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "$0")/lib.sh"
"$root/tools/setup.sh"
status=0

# The release build first: its program file is checked and run end to end too.
"$root/tools/release.sh"
configure_win -DNAVEKO_RELEASE_EXE="$build/release/dist/Project2.exe"
cmake --build "$build/win" -j"$(nproc)"
ctest --test-dir "$build/win" --output-on-failure || status=1

configure_native
cmake --build "$build/native" -j"$(nproc)"
ctest --test-dir "$build/native" --output-on-failure || status=1

# The workbook reader's threads under ThreadSanitizer: the sheet's tests alone, in a build of their own.
cmake -S "$root" -B "$build/tsan" "${generator[@]}" -DNAVEKO_TSAN=ON >/dev/null
cmake --build "$build/tsan" -j"$(nproc)" --target sheet_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$build/tsan/tests/spreadsheet/sheet_tests" || status=1

# The parsers under libFuzzer: regressions replayed, a bounded run each with
# its coverage printed and held to a floor.
configure_fuzz
cmake --build "$build/fuzz" -j"$(nproc)" --target fuzz_targets
ctest --test-dir "$build/fuzz" -R '^fuzz\.' --output-on-failure || status=1
cat "$build"/fuzz/fuzz/check/*/summary.txt 2>/dev/null || true

exit $status
