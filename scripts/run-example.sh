#!/usr/bin/env bash
# Builds barpost and writes the NC program of the bundled example job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBARPOST_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
mkdir -p out
cp examples/machine.ini out/machine.ini   # the job writes its options back
rm -rf out/MACRO_MK && cp -r examples/MACRO_MK out/MACRO_MK
BARPOST_UI=${BARPOST_UI:-auto} build/barpost process out/machine.ini ANGLE1 examples/job.cam out/B1.MPF
echo "----- out/B1.MPF"
cat out/B1.MPF | tr -d '\r'
