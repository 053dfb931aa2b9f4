#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz build for a while, one after the other:
#   bash scripts/fuzz-long.sh [SECONDS]    (default 600 each; VELMORA_FUZZ_SECONDS also works)
# Each target starts from its seeds in fuzz/corpus/<name>/ plus what earlier runs
# found (kept in build/fuzz/corpus/<name>/). A finding stops the script with
# libFuzzer's report; the input that caused it is left in build/fuzz/findings/.
# Build first: cmake --preset fuzz && cmake --build --preset fuzz
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${VELMORA_FUZZ_SECONDS:-600}}"
findings=build/fuzz/findings
mkdir -p "$findings"
shopt -s nullglob
targets=(build/fuzz/fuzz/*_fuzz)
if [ ${#targets[@]} -eq 0 ]; then
  echo "No fuzz targets in build/fuzz/fuzz: build the fuzz preset first." >&2
  exit 1
fi

for target in "${targets[@]}"; do
  [ -x "$target" ] || continue
  name=$(basename "$target" _fuzz)
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  log="build/fuzz/$name.log"
  echo "Fuzzing $name for ${seconds}s"
  # New inputs go to the first folder; the seeds in the second stay as they are.
  if ! "$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$findings/$name-" "$corpus" "fuzz/corpus/$name" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name: finding, see $log and $findings/" >&2
    exit 1
  fi
  # The last status line (coverage, features, corpus) and the execution count.
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true
  grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec' "$log" | tr -s ' \n' ' ' || true
  echo
done
