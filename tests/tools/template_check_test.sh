#!/usr/bin/env bash
# A boundary determination confirmed into the project's own template fixtures
# and, where the checkout has it beside it, into the shared corpus of real
# office documents: every property of every accepted template kept, and the
# protected and encrypted ones refused saying so.
# Usage: template_check_test.sh KADO_HOST KADO_TEMPLATE_CHECK SOURCE_DIR
set -u
host="$1" check="$2" src="$3"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$src/tests/host/built_plugin.sh"
register_plugin "$dir/config" export
export QT_QPA_PLATFORM=offscreen

"$check" "$host" "$src/tests/tools/templates" >"$dir/own" || { cat "$dir/own"; fail "a fixture lost something"; }
cat "$dir/own"
for refused in encrypted protected; do
  grep -q "^| $refused.docx |.*refused, exit 2: .*\(verschlüsselt\|geschützt\)" "$dir/own" \
    || fail "$refused.docx not refused as protected: $(grep "$refused" "$dir/own")"
done
[ "$(grep -c ' refused, exit' "$dir/own")" -eq 2 ] || fail "only the two protected fixtures may be refused"

corpus="$src/../shared/corpus"
if [ -d "$corpus" ]; then
  "$check" "$host" "$corpus" >"$dir/corpus" || { cat "$dir/corpus"; fail "a corpus document lost something"; }
  tail -1 "$dir/corpus"
else
  echo "no corpus at $corpus: only the project's own templates checked"
fi
