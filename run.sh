#!/usr/bin/env bash
# Installs what is missing (with the whole-sky catalogue), builds the program,
# prepares the sample sky in the program's folder, starts the bundled
# catalogue service on the user's extracts, the sample sky and the whole sky,
# and starts the program. The service stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install_deps.sh astrometry-data-tycho2-07-littleendian
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what is run here; ./test.sh builds the tests and the benchmarks.
cmake --build build -j"$(nproc)" --target sidelune catalogue_service sample_sky

program_folder=build
sample=build/sample-sky
if [ ! -f "$sample/sample.pam" ]; then
  ./build/tools/sample_sky/sample_sky --out "$sample" >/dev/null
fi
# The project names its image relative to the program's folder. Never replace
# a job or optical configurations the user saved.
for file in sample.jpg sample.pam config.cfg; do
  [ -f "$program_folder/$file" ] || cp "$sample/$file" "$program_folder/"
done

host=$(sed -n 's/^CATALOGUE_HOST:STRING=//p' build/CMakeCache.txt)
port=${host##*:}
# Catalogue extracts the user keeps in catalogues/ (CSV or TSV, as catalogue
# browsers export them) answer the fields they cover, before the sample sky
# and the whole sky; the folder lies outside build/, so it survives a rebuild.
lists=()
shopt -s nullglob nocaseglob
for extract in catalogues/*.csv catalogues/*.tsv catalogues/*.txt; do
  lists+=(--stars "$extract")
done
shopt -u nullglob nocaseglob
./build/tools/catalogue_service/catalogue_service "${lists[@]}" --stars "$sample/stars.txt" --port "$port" \
  >build/catalogue_service.log 2>&1 &
service=$!
trap 'kill "$service" 2>/dev/null || true' EXIT

./build/sidelune "$@"
