#!/usr/bin/env bash
# The picture commands write PNG files, without a display, and report bad input.
set -euo pipefail
cli="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

fail() { echo "FAIL: $*" >&2; exit 1; }
is_png() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ]; }

# A fraction, a mixed number, a nested fraction, a sum, a root and a power.
while read -r description size; do
  out="$("$cli" draw "$description" -o "$tmp/p.png")" || fail "draw $description"
  [ "$out" = "$tmp/p.png $size" ] || fail "draw $description: $out"
  is_png "$tmp/p.png" || fail "draw $description: not a PNG"
done <<'LIST'
<<3>\<4>> 7x28
<2<1>\<3>> 14x28
<<1>\<<2>\<3>>> 7x42
<<<1>\<2>>+<<1>\<3>>> 21x28
<sqrt(<<1>\<2>>)> 14x28
<(<<1>\<2>>)^2> 28x28
LIST

"$cli" draw '<<3>\<4>>' --margin 4 --scale 3 -o "$tmp/m.png" | grep -q "m.png 11x32" || fail "margin"
"$cli" draw '<<3>\<4>>' --records -o "$tmp/r.png" | grep -q '^#0 "3 \\ 4" L=1 H=2 fraction' ||
  fail "records"

# Bad descriptions give their message and still a picture.
"$cli" draw '<2)+3>' -o "$tmp/b.png" >/dev/null 2>"$tmp/err" || fail "stray bracket"
grep -q "Error: Opening or Closing barket.. () not put, Pls correct().. err087376" "$tmp/err" ||
  fail "stray bracket message"
is_png "$tmp/b.png" || fail "stray bracket picture"
"$cli" draw '<foo(3)>' -o "$tmp/u.png" >/dev/null 2>"$tmp/err" || fail "unknown operator"
grep -q "Error:Over 7000 counts, check Ope String Er098752" "$tmp/err" || fail "unknown message"
long="<$(head -c 4998 /dev/zero | tr '\0' '7')>"
"$cli" draw "$long" -o "$tmp/l.png" | grep -q "l.png 8192x14" || fail "long description"

# Without the symbol file the symbols are left out, one message for each.
"$cli" draw '<(2)>' --symbols "$tmp/none.DAT" -o "$tmp/s.png" >/dev/null 2>"$tmp/err" ||
  fail "missing symbol file"
[ "$(grep -c "Cannot find data file.. $tmp/none.DAT" "$tmp/err")" = 2 ] || fail "symbol messages"

"$cli" draw-fraction '3\14' -o "$tmp/d.png" | grep -q "d.png" || fail "draw-fraction"
is_png "$tmp/d.png" || fail "draw-fraction picture"
"$cli" curve --scores 40,55,70,85 --labels "07/03 14:05,08/03 09:12,09/03 16:40,11/03 10:02" \
  --units 20 --ref1 85 --ref2 75 -o "$tmp/c.png" | grep -q "c.png 420x260" || fail "curve"
"$cli" curve --scores 60 --width 200 --height 120 -o "$tmp/c1.png" | grep -q "c1.png 200x120" ||
  fail "curve of one score"
"$cli" text-picture 'Book\nLevel 2' -o "$tmp/t.png" | grep -q "t.png 300x60" || fail "text-picture"

# Usage errors end with status 1 and a message.
if "$cli" draw '<1>' 2>"$tmp/err"; then fail "draw without -o"; fi
grep -q "missing -o" "$tmp/err" || fail "draw without -o message"
if "$cli" curve --scores 40,x -o "$tmp/x.png" 2>"$tmp/err"; then fail "bad score"; fi
grep -q "'x' is not a valid integer value" "$tmp/err" || fail "bad score message"
if "$cli" curve --scores 40 --width 0 -o "$tmp/x.png" 2>/dev/null; then fail "bad width"; fi
if "$cli" draw '<1>' -o "$tmp/no/such/dir/x.png" 2>/dev/null; then fail "unwritable file"; fi
echo "ok"
