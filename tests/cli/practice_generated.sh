#!/usr/bin/env bash
# A generated sample sheet practised in the terminal: every expected answer given, the result
# and statistics written as the sheet's line encoding says, and the result resumed. Run on a
# plain book (Arithmetic) and on the scrambled one (Sentences).
set -euo pipefail
cli="$1"
books="$(cd "$(dirname "$cli")/../share/Tremsol/Bib" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/data" LC_ALL=C
unset QUILLOMARK_PROGRAM_FILES
pupil="$XDG_DATA_HOME/Tremsol/Users/pupil"

fail() { echo "FAIL: $*" >&2; exit 1; }

practise() {  # practise BOOK TITLE NAME: generate, answer everything right, check the files
  local book="$1" title="$2" name="$3"
  local sheet="$tmp/$name.QST"
  local count
  count=$("$cli" generate "$books/$book" --title "$title" -o "$sheet" --seed 11 --user pupil)
  [ "$count" -gt 0 ] || fail "$book: no questions"
  # The expected answers in field order, one per line, as the pupil types them.
  "$cli" sheet show "$sheet" | tail -n +7 | grep -o '{[^}]*}' | sed 's/^{ *//; s/ *}$//' \
    > "$tmp/answers"
  [ "$(wc -l < "$tmp/answers")" -ge "$count" ] || fail "$book: fewer answers than questions"
  "$cli" practice "$sheet" --user pupil < "$tmp/answers" > "$tmp/out" 2>&1 ||
    fail "$book: practice failed: $(cat "$tmp/out")"
  grep -q "Status: Finished" "$tmp/out" || fail "$book: not finished: $(cat "$tmp/out")"
  grep -q "first-try faults: 0" "$tmp/out" || fail "$book: faults: $(cat "$tmp/out")"
  local result="$pupil/$name.QsR"
  [ -f "$result" ] || fail "$book: no result file"
  # The result keeps the sheet's encoding: its first line is the sheet's, byte for byte.
  cmp -s <(head -n 1 "$sheet") <(head -n 1 "$result") || fail "$book: result header differs"
  "$cli" sheet show "$result" | sed -n 2p | grep -qE '^#\[0/[0-9]+/[0-9]+/0;S;' ||
    fail "$book: result status: $("$cli" sheet show "$result" | sed -n 2p)"
  # Everything right at the first try: nothing to revise.
  [ ! -e "$pupil/$name.QsV" ] || fail "$book: a revision of a perfect sheet"
  # Resuming shows the sheet finished, with the same answers.
  "$cli" practice --resume "$name" --user pupil < /dev/null > "$tmp/out" 2>&1 ||
    fail "$book: resume failed: $(cat "$tmp/out")"
  grep -q "Status: Finished" "$tmp/out" || fail "$book: resumed sheet not finished"
}

practise Arithmetic.IDX 1.1.1:5 sums
practise Sentences.IDX 1.1:3 phrases

# One statistics line per book and level, each with a percentage of 100.
stats="$pupil/Statistic.f01"
[ "$(grep -c . "$stats")" = 2 ] || fail "statistics lines: $(cat "$stats")"
while IFS= read -r l; do
  [ "$(printf '%s' "$l" | tr -d '\r' | awk -F $'\xa6' '{print $3}')" = 100 ] ||
    fail "statistics percentage: $l"
done < "$stats"
echo ok
