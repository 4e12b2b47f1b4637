#!/usr/bin/env bash
# A confirmation into the invoice LibreOffice writes from our generated one
# (its comments and tables laid out its own way), whole process, against
# LibreOffice converting that file again; medians of RUNS, peak memory of one more run.
# Usage: bench/lo_written.sh [TABLES]   (default 200; RUNS=5, BUILD=build)
set -euo pipefail
cd "$(dirname "$0")/.."
b=${BUILD:-build}; runs=${RUNS:-5}; n=${1:-200}
d=$(mktemp -d)
trap 'rm -rf "$d"' EXIT
export XDG_CONFIG_HOME=$d/config
$b/bin/kado-bench-invoice $d $n >/dev/null
lo=(soffice --headless --norestore "-env:UserInstallation=file://$d/profile" --convert-to docx --outdir "$d/lo")
"${lo[@]}" "$d/Rechnung-$n.docx" >/dev/null 2>&1
cp "$d/lo/Rechnung-$n.docx" "$d/LO-$n.docx"
med() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
kt=(); lt=()
for ((i=0;i<runs;i++)); do
  cp $d/kado.sqlite $d/k.sqlite
  t0=$EPOCHREALTIME; $b/bin/kado-host run --db $d/k.sqlite --doc $d/LO-$n.docx --out $d/out.docx --invoice 1 --category 0 --do "choose optTabelle(0)" --do "set mskAGPo=12" --do "set mskAGP=3" --do "set mskBoden=250" --do ok >/dev/null 2>&1 || echo fail; t1=$EPOCHREALTIME
  kt+=($(((${t1/./} - ${t0/./}))))
  t0=$EPOCHREALTIME; "${lo[@]}" "$d/LO-$n.docx" >/dev/null 2>&1; t1=$EPOCHREALTIME
  lt+=($(((${t1/./} - ${t0/./}))))
done
cp $d/kado.sqlite $d/k.sqlite
/usr/bin/time -f %M -o $d/rss $b/bin/kado-host run --db $d/k.sqlite --doc $d/LO-$n.docx --out $d/out.docx --invoice 1 --category 0 --do "choose optTabelle(0)" --do "set mskAGPo=12" --do "set mskAGP=3" --do "set mskBoden=250" --do ok >/dev/null 2>&1
k=$(printf '%s\n' "${kt[@]}" | med); l=$(printf '%s\n' "${lt[@]}" | med)
awk -v k=$k -v l=$l -v kb=$(tail -1 $d/rss) -v sz=$(stat -c %s $d/LO-$n.docx) 'BEGIN {printf "LibreOffice-written %d kB: kado %.4f s %.1f MiB, LibreOffice %.3f s, ratio %.0f\n", sz/1024, k/1e6, kb/1024, l/1e6, l/k}'
