#!/usr/bin/env bash
# Checks the built LV2 bundle's metadata with the LV2 tools: the Turtle validates against the
# installed LV2 vocabularies, and lilv finds and describes the plug-in from the bundle alone.
# Usage: validate-bundle.sh <bundle.lv2> <plug-in URI> <product name>
set -euo pipefail

bundle="$1"
uri="$2"
name="$3"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in lv2_validate sord_validate lv2info; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh --tests installs it)"
done
[ -f "$bundle/manifest.ttl" ] || fail "no manifest.ttl in $bundle"

report=$(lv2_validate "$bundle"/*.ttl 2>&1) || {
    echo "$report" >&2
    fail "lv2_validate reported errors"
}
grep -q "Found 0 errors" <<<"$report" || {
    echo "$report" >&2
    fail "lv2_validate did not report a clean result"
}
if grep -q "^warning" <<<"$report"; then
    echo "$report" >&2
    fail "lv2_validate reported warnings"
fi

# Only this bundle is visible: a copy elsewhere on the machine cannot answer for it.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$(cd "$bundle" && pwd)" "$scratch/$(basename "$bundle")"

info=$(HOME="$scratch" LV2_PATH="$scratch" lv2info "$uri" 2>&1) || {
    echo "$info" >&2
    fail "lv2info could not load $uri"
}
expect() {
    grep -Eq "$1" <<<"$info" || {
        echo "$info" >&2
        fail "lv2info output lacks: $2"
    }
}
expect "^[[:space:]]+Name:[[:space:]]+${name}\$" "the product name"
expect "^[[:space:]]+Author:[[:space:]]+Quillmark\$" "the maker"
expect "Class:[[:space:]]+http://lv2plug.in/ns/extensions/ui#X11UI" "the editor"
expect "Extension Data:[[:space:]]+http://lv2plug.in/ns/ext/state#interface" "the state interface"

audio_in=$(grep -A1 "lv2core#AudioPort" <<<"$info" | grep -c "lv2core#InputPort" || true)
audio_out=$(grep -A1 "lv2core#AudioPort" <<<"$info" | grep -c "lv2core#OutputPort" || true)
[ "$audio_in" -eq 2 ] && [ "$audio_out" -eq 2 ] || fail "expected 2 audio inputs and 2 outputs, found $audio_in and $audio_out"

# An empty e-mail IRI would resolve to the Turtle file itself.
if grep -q "Author Email" <<<"$info"; then
    fail "the bundle names an author e-mail that is not one"
fi

echo "LV2 bundle $(basename "$bundle") validates and loads"
