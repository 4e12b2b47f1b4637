#!/usr/bin/env bash
# Whole-process figures of a confirmation: kado-host run (open, Show, inputs,
# OK, totals, save) against LibreOffice headless converting the same DOCX to
# DOCX, in one run on this machine, with the peak memory of each; and the
# process start (kado-host run with cancel on the demo invoice).
# Usage: bench/whole_process.sh [TABLES...]   (default: 1 200; RUNS=5, BUILD=build;
#        KADO_BENCH_NO_LIBREOFFICE=1 leaves LibreOffice out, for the large sizes)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
runs="${RUNS:-5}"
sizes=("$@")
((${#sizes[@]})) || sizes=(1 200)
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
# kado-bench-invoice registers the built plug-in in the folder's own config home.
export XDG_CONFIG_HOME="$dir/config"
"$build/bin/kado-bench-invoice" "$dir" "${sizes[@]}" >/dev/null

# Median wall seconds of RUNS runs (timed in the shell itself, no helper
# process in the measurement) and the peak RSS in MiB of one more run.
measure() {
  local times=() t0 t1 kb median
  for ((i = 0; i < runs; i++)); do
    t0=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
    t1=$EPOCHREALTIME
    times+=($(((${t1/./} - ${t0/./}))))
  done
  /usr/bin/time -f %M -o "$dir/rss" "$@" >/dev/null 2>&1
  kb=$(tail -1 "$dir/rss")
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
  awk -v us="$median" -v kb="$kb" 'BEGIN { printf "%.4f %.1f\n", us / 1e6, kb / 1024 }'
}

lo_bin=soffice
[ -z "${KADO_BENCH_NO_LIBREOFFICE:-}" ] || lo_bin=kado-no-libreoffice
command -v "$lo_bin" >/dev/null || { echo "soffice not used: LibreOffice columns left empty" >&2; }
printf '%-28s %10s %9s %10s %9s %8s\n' "invoice" "kado_s" "kado_MiB" "lo_s" "lo_MiB" "lo/kado"
for n in "${sizes[@]}"; do
  f="$dir/Rechnung-$n.docx"
  read -r ks km < <(measure "$build/bin/kado-host" run --db "$dir/kado.sqlite" --doc "$f" --out "$dir/out.docx" \
    --invoice 1 --category 0 --do "choose optTabelle(0)" --do "set mskAGPo=12" --do "set mskAGP=3" \
    --do "set mskBoden=250" --do ok)
  ls=- lm=- ratio=-
  if command -v "$lo_bin" >/dev/null; then
    lo=(soffice --headless --norestore "-env:UserInstallation=file://$dir/profile" --convert-to docx --outdir "$dir/lo" "$f")
    "${lo[@]}" >/dev/null 2>&1 || true   # the first run lays out the profile
    read -r ls lm < <(measure "${lo[@]}")
    ratio=$(awk -v a="$ls" -v b="$ks" 'BEGIN { printf "%.0f", a / b }')
  fi
  printf '%-28s %10s %9s %10s %9s %8s\n' "$n fee table(s), $(($(stat -c %s "$f") / 1024)) kB" "$ks" "$km" "$ls" "$lm" "$ratio"
done
read -r cs cm < <(measure "$build/bin/kado-host" run --db "$dir/kado.sqlite" --doc "$dir/Rechnung.docx" --invoice 1 \
  --category 0 --do cancel)
printf '%-28s %10s %9s\n' "start: cancel on the demo" "$cs" "$cm"
