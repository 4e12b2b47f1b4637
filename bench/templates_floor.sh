#!/usr/bin/env bash
# A confirmation into real office templates against their floor (unzip, parse,
# serialise, deflate, rename of the same file): CPU of the whole kado-host run
# process against the floor as a process of its own, and of both in process
# (median pass, as bench_confirmation); peak memory of both processes; with CALLGRIND=1 the
# instructions of the two processes.
# Usage: bench/templates_floor.sh FILE.docx...   (RUNS=5, BUILD=build,
#        BENCH=BUILD/bin/kado-bench-template, CALLGRIND=1 for instruction counts)
# Each file gets its "kadoStart" marker from kado-template-check first.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${BUILD:-$src/build}" && pwd)"
runs="${RUNS:-5}"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
host="$build/bin/kado-host"
bench="${BENCH:-$build/bin/kado-bench-template}"
source "$src/tests/host/built_plugin.sh"
register_plugin "$dir/config" export
export QT_QPA_PLATFORM=offscreen
mkdir -p "$dir/sel"
cp "$@" "$dir/sel/"
KADO_TEMPLATE_CHECK_KEEP="$dir/keep" "$build/bin/kado-template-check" "$host" "$dir/sel" >"$dir/check" \
  || { cat "$dir/check"; echo "a template lost something or was refused" >&2; exit 1; }
"$host" init "$dir/demo" >/dev/null

source "$src/bench/child_cost.sh"
instr() { valgrind --tool=callgrind --callgrind-out-file="$dir/cg.out" "$@" >/dev/null 2>&1 || return 1
  callgrind_annotate "$dir/cg.out" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); printf "%.1f", $1 / 1e6 }'; }

printf '%-44s %6s %8s %8s %7s %8s %9s %8s %7s %7s' file kB run_ms floor_ms ratio run_MiB floor_MiB conf_in floor_in ratio_in
[ -n "${CALLGRIND:-}" ] && printf ' %9s %9s %7s' run_Mi floor_Mi ratio_i
echo
for m in "$dir"/keep/*.marked.docx; do
  name="$(basename "$m" .marked.docx)"
  cp "$dir/demo/kado.sqlite" "$dir/kado.sqlite"
  "$host" run --db "$dir/kado.sqlite" --doc "$m" --out "$dir/out.docx" --invoice 1 --category 0 \
    --do "set mskAGPo=12" --do "set mskAGP=3" --do "set mskBoden=250" --do ok >/dev/null   # the target now exists
  rc=() rm_=() fp=() fm=()
  for ((i = 0; i < runs; i++)); do
    cp "$dir/demo/kado.sqlite" "$dir/kado.sqlite"
    read -r c mib < <(cpu "$host" run --db "$dir/kado.sqlite" --doc "$m" --out "$dir/out.docx" --invoice 1 \
      --category 0 --do "set mskAGPo=12" --do "set mskAGP=3" --do "set mskBoden=250" --do ok)
    rc+=("$c") rm_+=("$mib")
    read -r c mib < <(cpu "$bench" floor "$m" "$dir/floor.docx")
    fp+=("$c") fm+=("$mib")
  done
  runc=$(printf '%s\n' "${rc[@]}" | median) runm=$(printf '%s\n' "${rm_[@]}" | sort -n | tail -1)
  floorp=$(printf '%s\n' "${fp[@]}" | median) floorm=$(printf '%s\n' "${fm[@]}" | sort -n | tail -1)
  floori=$("$bench" floor "$m" "$dir/floor.docx" 21)
  cp "$dir/demo/kado.sqlite" "$dir/kado.sqlite"
  confi=$("$bench" confirm "$dir/kado.sqlite" "$m" "$dir/out.docx" 21)
  printf '%-44s %6d %8s %8s %7s %8s %9s %8s %7s %7s' "${name:0:44}" $(($(stat -c %s "$m") / 1024)) "$runc" "$floorp" \
    "$(awk -v a="$runc" -v b="$floorp" 'BEGIN { printf "%.1f", a / b }')" "$runm" "$floorm" "$confi" "$floori" \
    "$(awk -v a="$confi" -v b="$floori" 'BEGIN { printf "%.1f", a / b }')"
  if [ -n "${CALLGRIND:-}" ]; then
    cp "$dir/demo/kado.sqlite" "$dir/kado.sqlite"
    ri=$(instr "$host" run --db "$dir/kado.sqlite" --doc "$m" --out "$dir/out.docx" --invoice 1 --category 0 \
      --do "set mskAGPo=12" --do "set mskAGP=3" --do "set mskBoden=250" --do ok)
    fi_=$(instr "$bench" floor "$m" "$dir/floor.docx")
    printf ' %9s %9s %7s' "$ri" "$fi_" "$(awk -v a="$ri" -v b="$fi_" 'BEGIN { printf "%.1f", a / b }')"
  fi
  echo
done
