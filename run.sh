#!/usr/bin/env bash
# Installs what is missing, builds the program, prepares the sample sky in the
# program's folder, starts the bundled catalogue service on it, and starts the
# program. The service stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install_deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what is run here; ./test.sh builds the tests and the benchmarks.
cmake --build build -j"$(nproc)" --target sidelune catalogue_service sample_sky

program_folder=build
sample=build/sample-sky
if [ ! -f "$sample/sample.pam" ]; then
  ./build/tools/sample_sky/sample_sky --out "$sample" >/dev/null
fi
# The project names its image relative to the program's folder.
cp -f "$sample/sample.jpg" "$sample/sample.pam" "$program_folder/"
# Never replace optical configurations the user saved.
[ -f "$program_folder/config.cfg" ] || cp "$sample/config.cfg" "$program_folder/"

host=$(sed -n 's/^CATALOGUE_HOST:STRING=//p' build/CMakeCache.txt)
port=${host##*:}
./build/tools/catalogue_service/catalogue_service --stars "$sample/stars.txt" --port "$port" \
  >build/catalogue_service.log 2>&1 &
service=$!
trap 'kill "$service" 2>/dev/null || true' EXIT

./build/sidelune "$@"
