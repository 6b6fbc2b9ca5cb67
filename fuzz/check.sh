#!/usr/bin/env bash
# One fuzz target's test: its regression inputs replayed, then a bounded run
# from its seeds alone (fixed -runs and -seed, with its dictionary), whose edge
# coverage must reach the floor kept in floors.txt, so that a build change that
# blinds the fuzzer again fails. Prints one summary line (also to WORK/summary.txt).
#   check.sh BINARY FUZZ_SOURCE_DIR WORK_DIR
set -euo pipefail
bin=$1 src=$2 work=$3
name=$(basename "$bin")
read -r runs floor < <(awk -v t="$name" '$1 == t { print $2, $3 }' "$src/floors.txt") || true
[ -n "${runs:-}" ] || { echo "$name: no line in $src/floors.txt" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work/corpus"
opts=(-rss_limit_mb=2048 -timeout=25 -seed=1 -artifact_prefix="$work/")
dict=()
[ -f "$src/dicts/$name.dict" ] && dict=(-dict="$src/dicts/$name.dict")

replayed=0
if compgen -G "$src/regressions/$name/*" >/dev/null; then
  if ! "$bin" "${opts[@]}" "$src/regressions/$name"/* >"$work/regressions.log" 2>&1; then
    tail -n 40 "$work/regressions.log"
    echo "$name: a regression input fails again" >&2
    exit 1
  fi
  replayed=$(find "$src/regressions/$name" -type f | wc -l)
fi

if ! "$bin" "${opts[@]}" "${dict[@]}" -runs="$runs" "$work/corpus" "$src/seeds/$name" >"$work/run.log" 2>&1; then
  tail -n 60 "$work/run.log"
  exit 1
fi
# "#60000  DONE   cov: 1081 ft: 2345 corp: 120/30Kb lim: 4096 exec/s: 3000 rss: 80Mb"
line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/run.log" | tail -n 1)
cov=$(sed -E 's/.* cov: ([0-9]+).*/\1/' <<<"$line")
execs=$(sed -E 's/.* exec\/s: ([0-9]+).*/\1/' <<<"$line")
summary="fuzz $name: $runs runs from its seeds, cov $cov edges (floor $floor), $execs exec/s, $replayed regression inputs replayed"
echo "$summary" | tee "$work/summary.txt"
if [ "$cov" -lt "$floor" ]; then
  echo "$name: coverage $cov is under its floor $floor (is the build still instrumented?)" >&2
  exit 1
fi
