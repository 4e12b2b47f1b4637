#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: ./run_tests.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")"
BUILD_DIR="${1:-build}"
./setup.sh "$@"
export QT_QPA_PLATFORM=offscreen
echo "run_tests: alle Tests in $BUILD_DIR mit ${JOBS:-2} Jobs (auf 2 Kernen etwa 2 bis 5 Minuten); ctest meldet jeden Test einzeln"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"${JOBS:-2}" --timeout 600
