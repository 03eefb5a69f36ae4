#!/usr/bin/env bash
# quillomark-cli eval and expand: values of template texts, expansions of template lines,
# reproducible draws with --seed, errors on standard error with exit status 1.
set -euo pipefail
cli="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/data" QUILLOMARK_PROGRAM_FILES="$tmp/program" XDG_RUNTIME_DIR="$tmp"

expect() {  # expect "what" "expected" "actual"
  [ "$2" = "$3" ] || { echo "$1: expected [$2], got [$3]"; exit 1; }
}

expect "eval power" "36" "$("$cli" eval "2*3^2")"
expect "eval division" "3,5" "$("$cli" eval "{3+4}:2")"
expect "eval leading sign" "-7" "$("$cli" eval "-(3+4)")"
expect "eval line functions left out" "7" "$("$cli" eval "3+4_QST()_LESS(1)")"
expect "eval range" "5" "$("$cli" eval "5~6")"

if "$cli" eval "3/0" > "$tmp/out" 2> "$tmp/err"; then echo "eval 3/0 succeeded"; exit 1; fi
expect "eval error text" "Floating point division by zero" "$(cat "$tmp/err")"
expect "eval error output" "" "$(cat "$tmp/out")"
if "$cli" eval "" 2> "$tmp/err"; then echo "empty eval succeeded"; exit 1; fi
expect "empty text" "'FIN' is not a valid floating point value" "$(cat "$tmp/err")"

expect "expand" "3 + 4 = {7}" "$("$cli" expand "3+4_QST()")"
expect "expand text in UTF-8" "3 + 4 = {7} µm" "$("$cli" expand "3+4_QST()_INSTXT(9;µm)" | sed 's/ $//')"
rejected=$("$cli" expand "12-5_LESS(5)" -n 3 | tr '\n' '|')
expect "rejected draws" "|||" "$rejected"

first=$("$cli" expand "2~99+1~9_QST()" -n 20 --seed 7)
second=$("$cli" expand "2~99+1~9_QST()" --seed 7 -n 20)
other=$("$cli" expand "2~99+1~9_QST()" -n 20 --seed 8)
expect "seeded expansions repeat" "$first" "$second"
[ "$first" != "$other" ] || { echo "another seed gave the same draws"; exit 1; }
expect "line count" "20" "$(echo "$first" | wc -l)"
echo "$first" | grep -vqE '^[0-9]+ \+ [1-9] = \{[0-9]+\}$' && { echo "bad line in: $first"; exit 1; }

for bad in "-n 0" "-n x" "--seed x"; do
  # shellcheck disable=SC2086
  if "$cli" expand "3+4" $bad 2> /dev/null; then echo "expand $bad succeeded"; exit 1; fi
done
if "$cli" expand "3+4_MOVESTR(1;A)" 2> "$tmp/err"; then echo "bad _MOVESTR( succeeded"; exit 1; fi
expect "expand error text" "'A' is not a valid integer value" "$(cat "$tmp/err")"
echo ok
