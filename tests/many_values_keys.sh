#!/usr/bin/env bash
# Many values at once, in the real window, with keys only: a unit found, a block of 3 units x 2
# fields selected and copied, doubled by Change Values, a block pasted over it and undone, a name
# replaced. Every save is compared byte for byte with the file it should be, and with
# pelkoTool diff against the sample.
#   many_values_keys.sh EDITOR PELKOTOOL SAMPLE
set -euo pipefail
editor=$1 tool=$2 sample=$3
source "$(dirname "$0")/support/xkeys.sh"
cp "$sample" "$work/units.txt"

# The sample with fields (1-based) of the named units set by a Python expression of the old value.
expect() {
  python3 - "$sample" "$@" <<'PY'
import sys
sample, fields, expression = sys.argv[1], [int(f) for f in sys.argv[2].split(',')], sys.argv[3]
units = sys.argv[4:]
lines = open(sample, 'rb').read().split(b'\r\n')
for i, line in enumerate(lines):
    values = line.split(b'\t')
    if values[0].decode('cp1252') in units:
        for f in fields:
            old = values[f - 1].decode('cp1252')
            values[f - 1] = str(eval(expression, {'v': old, 'row': units.index(values[0].decode('cp1252')),
                                                 'col': fields.index(f)})).encode('cp1252')
        lines[i] = b'\t'.join(values)
sys.stdout.buffer.write(b'\r\n'.join(lines))
PY
}

check() {  # what, expected file
  if until_true cmp -s "$2" "$work/units.txt"; then
    echo "PASS $1"
  else
    echo "FAIL $1:"; "$tool" diff "$2" "$work/units.txt" | head -n 10 || true
    failed=1
  fi
}
start_editor units.txt

units=("Spearmen" "Feudal Sergeants" "Chivalric Knights")
keys ctrl+f; write Spearmen; keys Return Escape
for _ in $(seq 13); do keys ctrl+Right; done   # field 14, the ranks: whole numbers
keys ctrl+shift+Down ctrl+shift+Down ctrl+shift+Right
keys ctrl+c
wanted=$(cut -f14,15 "$sample" | sed -n 6,8p | tr -d '\r')
copied() { [ "$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r')" = "$wanted" ]; }
if until_true copied; then echo "PASS Ctrl+C copies the 3 x 2 block"; else echo "FAIL Ctrl+C gave: $(xclip -o -selection clipboard)"; failed=1; fi

keys ctrl+e
timeout 15 xdotool search --sync --onlyvisible --name '^Change Values$' > /dev/null
write '*2'; keys Return ctrl+s
expect 14,15 'int(v) * 2' "${units[@]}" > "$work/doubled.txt"
check "Change Values *2 on the block, saved" "$work/doubled.txt"
lines=$("$tool" diff "$sample" "$work/units.txt" | wc -l || true)
if [ "$lines" = 6 ]; then echo "PASS pelkoTool diff lists the six values"; else echo "FAIL pelkoTool diff lists $lines values"; failed=1; fi

printf '71\t72\r\n73\t74\r\n' | xclip -selection clipboard
keys ctrl+v ctrl+s
expect 14,15 '[[71, 72], [73, 74]][row][col] if row < 2 else int(v) * 2' "${units[@]}" > "$work/pasted.txt"
check "Ctrl+V puts the 2 x 2 block at the top left of the selection" "$work/pasted.txt"
keys ctrl+z ctrl+s
check "Ctrl+Z takes the whole paste back" "$work/doubled.txt"

keys ctrl+h; write Spearmen; keys Tab; write Pikemen; keys alt+a ctrl+s
expect 1 '"Pikemen"' Spearmen > "$work/renamed.txt"
python3 - "$work/doubled.txt" "$work/renamed.txt" <<'PY'
import sys
doubled, renamed = (open(p, 'rb').read().split(b'\r\n') for p in sys.argv[1:])
out = [b'\t'.join(r.split(b'\t')[:1] + d.split(b'\t')[1:]) if r.startswith(b'Pikemen\t') else d for d, r in zip(doubled, renamed)]
open(sys.argv[2], 'wb').write(b'\r\n'.join(out))
PY
check "Ctrl+H, Replace All renames the unit" "$work/renamed.txt"

stop_editor
exit $failed
