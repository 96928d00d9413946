#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, in fuzz-build/) and runs each one for
# the given number of seconds (default 30). Not part of the test command.
#   scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
bash scripts/install_deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B fuzz-build -DSIDELUNE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build fuzz-build -j4
status=0
for target in fuzz-build/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="fuzz-build/corpus/$name"
  mkdir -p "$corpus"
  options=()
  [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
  # Seeds beside the target, if any, start the corpus.
  [ -d "fuzz/$name.seeds" ] && cp -n "fuzz/$name.seeds"/* "$corpus"/ 2>/dev/null || true
  echo "== $name for ${seconds}s"
  # Crash inputs land in fuzz-build/ as crash-<hash>.
  if ! "$target" "$corpus" "${options[@]}" -max_total_time="$seconds" -max_len=400000 -rss_limit_mb=4096 \
        -artifact_prefix="fuzz-build/$name-" -print_final_stats=1; then
    status=1
  fi
done
exit $status
