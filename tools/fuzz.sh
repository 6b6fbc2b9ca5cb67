#!/usr/bin/env bash
# Longer fuzz runs than the test command's bounded ones: each target (or the
# one named) for MINUTES minutes (30 unless given) in the instrumented fuzz
# build, from a corpus kept under build/fuzz-corpus/TARGET from one run to the
# next, with the target's seeds and dictionary. Whatever a run finds (a crash,
# a leak, a time-out, running out of memory, a sanitizer report) stops that
# target and is kept under build/fuzz-findings/TARGET; once mended, it goes to
# fuzz/regressions/TARGET, which the test command replays.
#   tools/fuzz.sh [TARGET|all] [MINUTES]
#   tools/fuzz.sh merge-seeds [TARGET|all]   minimise seed folders with -merge=1
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "$0")/lib.sh"
"$root/tools/setup.sh"
configure_fuzz
cmake --build "$build/fuzz" -j"$(nproc)" --target fuzz_targets >/dev/null
all=$(awk '!/^#/ && NF { print $1 }' "$root/fuzz/floors.txt")

if [ "${1:-}" = merge-seeds ]; then
  for t in $( [ "${2:-all}" = all ] && echo "$all" || echo "$2"); do
    seeds="$root/fuzz/seeds/$t" merged="$build/fuzz-merge/$t"
    rm -rf "$merged"; mkdir -p "$merged"
    "$build/fuzz/fuzz/$t" -merge=1 -rss_limit_mb=2048 "$merged" "$seeds" >"$build/fuzz-merge/$t.log" 2>&1
    before=$(find "$seeds" -type f | wc -l)
    # The merge names its files by their hashes; a seed it kept keeps its own name.
    for f in "$merged"/*; do
      for s in "$seeds"/*; do
        if cmp -s "$f" "$s"; then
          [ "$(basename "$f")" = "$(basename "$s")" ] || mv "$f" "$merged/$(basename "$s")"
          break
        fi
      done
    done
    rm -rf "$seeds"; cp -r "$merged" "$seeds"
    echo "$t: $before seeds, $(find "$seeds" -type f | wc -l) after the merge ($(du -sk "$seeds" | cut -f1) KiB)"
  done
  exit 0
fi

targets=$( [ "${1:-all}" = all ] && echo "$all" || echo "$1")
minutes=${2:-30}
status=0
for t in $targets; do
  corpus="$build/fuzz-corpus/$t" findings="$build/fuzz-findings/$t" log="$build/fuzz-findings/$t.log"
  mkdir -p "$corpus" "$findings"
  dict=()
  [ -f "$root/fuzz/dicts/$t.dict" ] && dict=(-dict="$root/fuzz/dicts/$t.dict")
  echo "fuzz $t: $minutes minutes, corpus $corpus"
  if "$build/fuzz/fuzz/$t" -max_total_time=$((minutes * 60)) -print_final_stats=1 -rss_limit_mb=2048 -timeout=25 \
       -artifact_prefix="$findings/" "${dict[@]}" "$corpus" "$root/fuzz/seeds/$t" >"$log" 2>&1; then
    result="nothing found"
  else
    result="FOUND: $(ls -t "$findings" | head -n 1) (see $log)"
    status=1
  fi
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | sed -E 's/^#([0-9]+).* cov: ([0-9]+) ft: ([0-9]+) corp: ([0-9]+).*/\1 runs, cov \2 edges, ft \3, corpus \4/')
  rate=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log")
  echo "fuzz $t: $last, ${rate:-?} exec/s average: $result"
done
exit $status
