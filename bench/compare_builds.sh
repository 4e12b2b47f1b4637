#!/usr/bin/env bash
# Builds side by side on the same generated invoices: CPU (user+sys) and peak
# memory of `kado-host run ... ok` (as whole_process.sh runs it, target
# existing, a fresh copy of the same database each run), interleaved, each
# against the first build, and with CALLGRIND=1 the instructions of one run.
# Usage: bench/compare_builds.sh BUILD... TABLES...   (RUNS=7, VERBOSE=1 lists every run)
# The invoices and database come from the first build's kado-bench-invoice;
# each build gets its own plug-in registered in a config home of its own.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
builds=()
while (($#)) && ! [[ $1 =~ ^[0-9]+$ ]]; do builds+=("$(cd "$1" && pwd)"); shift; done
runs="${RUNS:-7}"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
for k in "${!builds[@]}"; do
  host="${builds[k]}/bin/kado-host"
  source "$src/tests/host/built_plugin.sh"
  register_plugin "$dir/config-$k"
done
XDG_CONFIG_HOME="$dir/config-0" "${builds[0]}/bin/kado-bench-invoice" "$dir/inv" "$@" >/dev/null

source "$src/bench/child_cost.sh"
run() {  # build-index invoice [prefix...]
  local k=$1 doc=$2; shift 2
  cp "$dir/inv/kado.sqlite" "$dir/kado-$k.sqlite"
  XDG_CONFIG_HOME="$dir/config-$k" "$@" "${builds[k]}/bin/kado-host" run --db "$dir/kado-$k.sqlite" --doc "$doc" \
    --out "$dir/out-$k.docx" --invoice 1 --category 0 --do "choose optTabelle(0)" --do "set mskAGPo=12" \
    --do "set mskAGP=3" --do "set mskBoden=250" --do ok
}
instr() {
  run "$@" valgrind --tool=callgrind --callgrind-out-file="$dir/cg.out" >/dev/null 2>&1
  callgrind_annotate "$dir/cg.out" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); printf "%.1f", $1 / 1e6 }'
}
for k in "${!builds[@]}"; do echo "build $k: ${builds[k]}"; done
printf '%-7s %-6s %9s %7s %8s' tables build cpu_ms "/b0" MiB
[ -n "${CALLGRIND:-}" ] && printf ' %9s %7s' Minstr "/b0"
echo
for n in "$@"; do
  f="$dir/inv/Rechnung-$n.docx"
  for k in "${!builds[@]}"; do run "$k" "$f" >/dev/null 2>&1; done   # the targets now exist
  declare -A cpus=() mib=()
  for ((i = 0; i < runs; i++)); do
    for k in "${!builds[@]}"; do
      read -r c m < <(run "$k" "$f" cpu)
      cpus[$k]+="$c " mib[$k]=$(awk -v x="${mib[$k]:-0}" -v y="$m" 'BEGIN { print (y > x ? y : x) }')
    done
  done
  ref= iref=
  for k in "${!builds[@]}"; do
    med=$(printf '%s\n' ${cpus[$k]} | median)
    [ -n "$ref" ] || ref=$med
    printf '%-7s %-6s %9s %7s %8s' "$n" "b$k" "$med" "$(awk -v a="$ref" -v b="$med" 'BEGIN { printf "%.3f", b / a }')" "${mib[$k]}"
    if [ -n "${CALLGRIND:-}" ]; then
      ins=$(instr "$k" "$f")
      [ -n "$iref" ] || iref=$ins
      printf ' %9s %7s' "$ins" "$(awk -v a="$iref" -v b="$ins" 'BEGIN { printf "%.3f", b / a }')"
    fi
    echo
    [ -z "${VERBOSE:-}" ] || echo "        runs: ${cpus[$k]}"
  done
  unset cpus mib
done
