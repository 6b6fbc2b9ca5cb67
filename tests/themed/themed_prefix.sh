#!/usr/bin/env bash
# Switches the bench prefix's visual style on (Wine's own "light" style, with
# its default colour and size schemes), runs the themed-prefix cases of
# te_win_tests, switches the style off again and runs them once more; the style
# is left off also when a run fails.
set -uo pipefail
tests=$1
run=$(dirname "$0")/../../tools/wine-run.sh
key='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
off() { "$run" reg add "$key" /v ThemeActive /t REG_SZ /d 0 /f >/dev/null 2>&1; }
trap off EXIT
"$run" reg add "$key" /v DllName /t REG_SZ /d 'C:\windows\resources\themes\light\light.msstyles' /f >/dev/null 2>&1
"$run" reg delete "$key" /v ColorName /f >/dev/null 2>&1
"$run" reg add "$key" /v ThemeActive /t REG_SZ /d 1 /f >/dev/null 2>&1
NAVEKO_EXPECT_THEMED=1 "$run" "$tests" --gtest_filter='*ThemedPrefix.*' || exit 1
off
NAVEKO_EXPECT_THEMED=0 "$run" "$tests" --gtest_filter='*ThemedPrefix.*'
