#!/usr/bin/env bash
# Merging another mod and a filtered copy, in the real window, with keys only: the unit sample
# loaded as "our" mod with the game's default copy beside the program, Ctrl+D compares it with
# another mod, Ctrl+Shift+D takes every change that does not conflict and Ctrl+S saves: the file
# must equal what pelkoTool apply makes of the other mod's diff, conflicts left out. Then Ctrl+F,
# part of a name, Alt+O, a block over every unit shown and Ctrl+C copy those units alone.
#   merge_view_keys.sh EDITOR PELKOTOOL SAMPLE
set -euo pipefail
editor=$1 tool=$2 sample=$3
source "$(dirname "$0")/support/xkeys.sh"
cp "$sample" "$work/crusaders_unit_prod11.bak"

# The sample with fields (1-based) of named units set: NAME:FIELD=VALUE ...
mod() {
  python3 - "$sample" "$@" <<'PY'
import sys
lines = open(sys.argv[1], 'rb').read().split(b'\r\n')
for change in sys.argv[2:]:
    where, value = change.split('=', 1)
    name, field = where.rsplit(':', 1)
    for i, line in enumerate(lines):
        values = line.split(b'\t')
        if values[0].decode('cp1252') == name:
            values[int(field) - 1] = value.encode('cp1252')
            lines[i] = b'\t'.join(values)
sys.stdout.buffer.write(b'\r\n'.join(lines))
PY
}
# Ours: one value of our own, one changed as the other mod changes it, one changed otherwise.
mod "Spearmen:14=3" "Feudal Sergeants:15=77" "Chivalric Knights:14=50" > "$work/units.txt"
# Theirs: two values we can take, the same change, the conflicting one.
mod "Spearmen:16=9" "Pikemen:20=21" "Feudal Sergeants:15=77" "Chivalric Knights:14=60" > "$work/theirs.txt"
"$tool" diff "$work/crusaders_unit_prod11.bak" "$work/theirs.txt" > "$work/theirs.diff" || true
# apply writes nothing while a line conflicts: the conflicts it lists are left out, then it applies.
"$tool" apply "$work/units.txt" "$work/theirs.diff" "$work/merged.txt" > "$work/conflicts" 2>&1 || true
awk -F'\t' 'NR == FNR { if ($1 == "conflict") skip[$2 "\t" $3] = 1; next } !(($1 "\t" $3) in skip)' \
  "$work/conflicts" "$work/theirs.diff" > "$work/taken.diff"
"$tool" apply "$work/units.txt" "$work/taken.diff" "$work/merged.txt" > /dev/null

start_editor units.txt

keys ctrl+d
timeout 15 xdotool search --sync --onlyvisible --name '^Compare With' > /dev/null
write "$work/theirs.txt"; keys Return
sleep 1
keys ctrl+shift+d ctrl+s
if until_true cmp -s "$work/merged.txt" "$work/units.txt"; then
  echo "PASS Ctrl+Shift+D, Ctrl+S saves what pelkoTool apply makes, conflicts aside"
else
  echo "FAIL the merge saved:"; "$tool" diff "$work/merged.txt" "$work/units.txt" | head -n 10 || true
  failed=1
fi

keys ctrl+f; write sergeants; keys alt+o Return ctrl+Prior ctrl+shift+Next ctrl+shift+Next ctrl+c
wanted=$(grep -ia '^[^	]*sergeants	' "$sample" | cut -f1 | tr -d '\r')
copied() { [ "$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r')" = "$wanted" ]; }
if until_true copied; then
  echo "PASS Only matching units: the block copies the matching units alone"
else
  echo "FAIL the clipboard holds: $(xclip -o -selection clipboard 2>/dev/null | head -n 5)"; failed=1
fi

stop_editor
exit $failed
