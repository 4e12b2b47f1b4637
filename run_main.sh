#!/usr/bin/env bash
# Builds the project and runs one demo session of the stand-in host.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
dir="$(mktemp -d)"
build/bin/kado-host init "$dir"
build/bin/kado-host session --db "$dir/kado.sqlite" --user 1 --invoice 1 --category 0
