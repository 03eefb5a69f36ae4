#!/usr/bin/env bash
# Every title of every installed book, generated alone with a few seeds: the sheet is written,
# holds as many questions as the title proposes, none empty, none "Er:ExprEmpty:784:", and every
# question carries its expected answer in braces. A folder of books may be given after the CLI.
set -euo pipefail
cli="$1"
bib="$(cd "${2:-$(dirname "$cli")/../share/Tremsol/Bib}" 2>/dev/null && pwd)" || {
  echo "FAIL: no installed books beside $cli" >&2
  exit 1
}
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/xdg"
unset QUILLOMARK_PROGRAM_FILES

failures=0
report() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

shopt -s nullglob
books=("$bib"/*.IDX)
[ "${#books[@]}" -gt 0 ] || { echo "FAIL: no books in $bib" >&2; exit 1; }

titles=0
for book in "${books[@]}"; do
  name="$(basename "$book" .IDX)"
  while IFS=$'\t' read -r level _; do
    # A separator level cannot be entered; any other lists the titles below it.
    records="$("$cli" book titles "$book" "$level" --records 2>/dev/null)" || continue
    while IFS= read -r record; do
      [ -n "$record" ] || continue
      code="${record%%¦*}"
      rest="${record#*¦*¦*¦}"
      quantity="${rest%%¦*}"
      titles=$((titles + 1))
      for seed in 1 2 3; do
        sheet="$tmp/$name-$code-$seed.QST"
        if ! count="$("$cli" generate "$book" --title "$code" -o "$sheet" --seed "$seed" 2>"$tmp/err")"; then
          report "$name $code seed $seed: $(cat "$tmp/err")"
          continue
        fi
        [ "$count" = "$quantity" ] || report "$name $code seed $seed: $count questions of $quantity"
        body="$("$cli" sheet show "$sheet" | tail -n +7 | grep -v '^#ChB\$' || true)"
        if grep -q 'Er:ExprEmpty:784:' <<<"$body"; then report "$name $code seed $seed: Er:ExprEmpty:784:"; fi
        if grep -qx '' <<<"$body"; then report "$name $code seed $seed: an empty question"; fi
        while IFS= read -r question; do
          [[ "$question" == *"{"*"}"* ]] || report "$name $code seed $seed: no answer in: $question"
        done <<<"$body"
      done
    done <<<"$records"
  done < <("$cli" book levels "$book")
done
[ "$titles" -gt 0 ] || { echo "FAIL: no titles found" >&2; exit 1; }
[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "every title generated: $titles titles of ${#books[@]} books"
