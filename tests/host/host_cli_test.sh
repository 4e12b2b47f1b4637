#!/usr/bin/env bash
# Demo database, a session start on it, and the refusals of bad arguments.
set -u
host="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$host" init "$dir" >/dev/null || fail "init exited $?"
[ -s "$dir/kado.sqlite" ] || fail "init wrote no database"
out="$("$host" session --db "$dir/kado.sqlite" --user 1 --invoice 1 --category 0)" || fail "session exited $?"
for want in 'Zahlungsziel-Vorlage: Zahlbar bis <14> ohne Abzug.' \
            'Mehrwertsteuersatz      19 %' 'MwStErmäßigt            7 %' 'Rechnung                übergeben'; do
  grep -qF -- "$want" <<<"$out" || fail "session output lacks: $want"
done
"$host" init "$dir" >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "init over an existing database exited $rc, not 2"
"$host" session --db "$dir/none.sqlite" --user 1 --invoice 1 --category 0 >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "session on a missing file exited $rc, not 2"
echo "kado-host: all checks passed"
