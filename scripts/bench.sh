#!/usr/bin/env bash
# Builds the benchmarks with release flags in build-bench/ and prints the table
# of times and memory beside their targets. Not part of the test command.
#   scripts/bench.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j4 --target bench_table bench_catalogue_service
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" ./build-bench/bench/bench_table
./build-bench/bench/bench_catalogue_service
