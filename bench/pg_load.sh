#!/usr/bin/env bash
# Load on one PostgreSQL server (figures, never pass or fail):
#  1. PROCESSES kado-host runs at a time confirm as many different invoices of
#     the same order, ROUNDS times over: confirmations per second, and every
#     invoice record checked afterwards (nothing lost);
#  2. PAIRS times two runs confirm the same invoice at once with different
#     inputs: the record must hold the figures of a run that was not told of
#     a conflict; a conflict is the plug-in's failed Update in its Verw.log,
#     which kado-host counts on standard error.
# Each run is a host user of its own: own config home (registry, settings with
# "SQL" on, so recordsets see other users' changes) and own Verw.log.
# Usage: bench/pg_load.sh [PROCESSES] [ROUNDS] [PAIRS]   (default 6 4 10; BUILD=build)
# Uses the server of KADO_TEST_PG_URI, else starts one of its own (tests/pg/pg_server.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${BUILD:-build}")"
procs="${1:-6}"
rounds="${2:-4}"
pairs="${3:-10}"
host="$build/bin/kado-host"
dir="$(mktemp -d)"
schema="kado_load$$"
psql="$(command -v psql || ls /usr/lib/postgresql/*/bin/psql | tail -1)"
sql() { "$psql" -X -q -A -t -v ON_ERROR_STOP=1 "$1" -c "$2"; }

own_server=""
cleanup() {
  [ -z "${base:-}" ] || sql "$base" "DROP SCHEMA IF EXISTS $schema CASCADE" >/dev/null 2>&1 || true
  [ -z "$own_server" ] || tests/pg/pg_server.sh stop
  rm -rf "$dir"
}
trap cleanup EXIT
if [ -z "${KADO_TEST_PG_URI:-}" ]; then
  # Beside, not inside, the private temporary folder: the server runs as another user when this is root.
  export KADO_PG_DIR="/tmp/kado-pg-load-$$"
  own_server=1
  server="$(tests/pg/pg_server.sh start)"
  eval "$server"
fi
base="$KADO_TEST_PG_URI"
sql "$base" "CREATE SCHEMA $schema"
case "$base" in
  *\?*) uri="$base&options=-csearch_path%3D$schema" ;;
  *) uri="$base?options=-csearch_path%3D$schema" ;;
esac

invoices=$((procs * rounds + pairs + 1))
"$host" init "$dir" --db "$uri" --invoices "$invoices" >/dev/null
users=$((procs > 2 ? procs : 2))
for ((u = 1; u <= users; u++)); do
  mkdir -p "$dir/u$u/config/KadoVerwaltung" "$dir/u$u/prog"
  XDG_CONFIG_HOME="$dir/u$u/config" "$build/bin/kado-regsvr" /s "$build/lib/libhonora.so"
  printf '[Pfade]\nSQL=True\nProgramm=%s\n' "$dir/u$u/prog" >"$dir/u$u/config/KadoVerwaltung/settings.ini"
done

# confirm USER INVOICE LAND_VALUE: one user's confirmation; its output in $dir/out-USER-INVOICE.{txt,err}
confirm() {
  XDG_CONFIG_HOME="$dir/u$1/config" "$host" run --db "$uri" --doc "$dir/Rechnung.docx" \
    --out "$dir/u$1/Rechnung-$2.docx" --invoice "$2" --category 0 \
    --do 'set mskAGPo=12' --do 'set mskAGP=3' --do "set mskBoden=$3" --do ok \
    >"$dir/out-$1-$2.txt" 2>"$dir/out-$1-$2.err"
}
figures() { sql "$uri" "SELECT NettoRechnung || '/' || Brutto FROM Rechnung WHERE ID_Rechnungsnummer = $1"; }

# The figures each input gives, from one run alone on the last invoice.
confirm 1 "$invoices" 250 && want250="$(figures "$invoices")"
confirm 1 "$invoices" 300 && want300="$(figures "$invoices")"

# 1. Different invoices at once.
failed=0
t0=$EPOCHREALTIME
for ((r = 0; r < rounds; r++)); do
  pids=()
  for ((p = 1; p <= procs; p++)); do
    confirm "$p" $((r * procs + p)) 250 &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
done
t1=$EPOCHREALTIME
n=$((procs * rounds))
lost=0
for ((i = 1; i <= n; i++)); do [ "$(figures "$i")" = "$want250" ] || lost=$((lost + 1)); done
logged="$(cat "$dir"/out-*.err | grep -c 'Verw.log' || true)"
awk -v n="$n" -v p="$procs" -v us=$((${t1/./} - ${t0/./})) -v f="$failed" -v l="$lost" -v g="$logged" 'BEGIN {
  printf "different invoices: %d confirmations by %d processes at a time in %.2f s = %.1f confirmations/s; " \
         "failed runs %d, records not as confirmed %d, runs that logged %d\n", n, p, us / 1e6, n * 1e6 / us, f, l, g }'

# 2. The same invoice twice at once.
conflicts=0 wrong=0 both_ok=0
for ((j = 1; j <= pairs; j++)); do
  inv=$((n + j))
  confirm 1 "$inv" 250 &
  a=$!
  confirm 2 "$inv" 300 &
  b=$!
  wait "$a" "$b" || true
  now="$(figures "$inv")"
  lost1=0 lost2=0
  grep -q 'Error 3197' "$dir/out-1-$inv.err" && lost1=1
  grep -q 'Error 3197' "$dir/out-2-$inv.err" && lost2=1
  conflicts=$((conflicts + lost1 + lost2))
  ((lost1 || lost2)) || both_ok=$((both_ok + 1))
  # The record holds a winner's figures, never a loser's.
  if ((lost1 && lost2)) || { ((lost1)) && [ "$now" != "$want300" ]; } || { ((lost2)) && [ "$now" != "$want250" ]; } \
     || { [ "$now" != "$want250" ] && [ "$now" != "$want300" ]; }; then
    wrong=$((wrong + 1))
  fi
done
echo "same invoice: $pairs pairs; conflicts reported $conflicts, pairs without overlap $both_ok," \
     "records not a winner's $wrong"
example="$(grep -h 'Error 3197' "$dir"/out-*.err | head -1 || true)"
[ -z "$example" ] || echo "reported as: $example"
