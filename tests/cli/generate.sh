#!/usr/bin/env bash
# The sheet commands: generate a sheet from titles of the test book and show it, reproducibly
# with a seed; a failed generation keeps the old sheet; record the sheet for a user; create a
# progress file of a level; bring it up to a new version of its book with "job check".
set -euo pipefail
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
source_file="$here/../fixtures/books/sample.book"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/xdg"
export QUILLOMARK_PROGRAM_FILES="$tmp/program"
bib="$QUILLOMARK_PROGRAM_FILES/Tremsol/Bib"
users="$XDG_DATA_HOME/Tremsol/Users"

fail() { echo "FAIL: $*" >&2; exit 1; }
same() {  # expected actual what
  if [ "$1" != "$2" ]; then
    diff <(printf '%s\n' "$1") <(printf '%s\n' "$2") >&2 || true
    fail "$3"
  fi
}

"$cli" book build "$source_file" -o "$bib/Sample.IDX" >/dev/null

# A sheet of two titles: the count, the header lines with the answer bank of this type "A" book
# (four masked answers), headings and answers in braces.
sheet="$tmp/out/First.QST"
same "4" "$("$cli" generate "$bib/Sample.IDX" --title 1.1.5 --title 1.1.1 -o "$sheet" --seed 7)" \
  "questions written"
shown="$("$cli" sheet show "$sheet")"
same "Ver.A 1.0;Test book;0102A000;UP.Y
#[0/0/4/-1;s;0;0]
#[$sheet¦Test book – Calcul & Wörter¦Additions]
#[]
#[]" "$(head -n 5 <<<"$shown")" "sheet header"
sed -n 6p <<<"$shown" | grep -Eqx '#\[[^;]+(;[^;]+){3}\]' || fail "answer bank"
same "#ChB\$Write the result" "$(sed -n 7p <<<"$shown")" "first heading"
[ "$(tail -n +7 <<<"$shown" | grep -vc '^#ChB\$')" -eq 4 ] || fail "four questions"
tail -n +7 <<<"$shown" | grep -v '^#ChB\$' | grep -qv '{.*}' && fail "a question without an answer"

# The same seed gives the same sheet; a quantity and a merge letter can be given.
"$cli" generate "$bib/Sample.IDX" --title 1.1.5 --title 1.1.1 -o "$tmp/out/Again.QST" --seed 7 \
  >/dev/null
same "$(tail -n +4 <<<"$shown")" "$("$cli" sheet show "$tmp/out/Again.QST" | tail -n +4)" \
  "same seed, same sheet"
same "3" "$("$cli" generate "$bib/Sample.IDX" --title 1.1.5:1:C --title 1.1.1:2:C \
  -o "$tmp/out/Merged.QST")" "quantities given"
[ "$("$cli" sheet show "$tmp/out/Merged.QST" | grep -c '^#ChB\$')" -eq 2 ] || fail "merged"

# Refusals: unknown title, no title; a template that fails keeps the old sheet.
if "$cli" generate "$bib/Sample.IDX" --title 9.9 -o "$sheet" 2>"$tmp/err"; then
  fail "an unknown title was generated"
fi
same "No title 9.9 in $bib/Sample.IDX" "$(cat "$tmp/err")" "unknown title"
if "$cli" generate "$bib/Sample.IDX" -o "$sheet" 2>/dev/null; then fail "no title given"; fi
printf 'book: Broken\nheader: Ver.A 1.0;Broken\nlevel 1: L\ntitle: T\n  spcode: G1n\n  > _rZeroTo(x;7)+1_QST()\n' \
  >"$tmp/broken.book"
"$cli" book build "$tmp/broken.book" -o "$bib/Broken.IDX" >/dev/null
before="$(cat "$sheet")"
if "$cli" generate "$bib/Broken.IDX" --title 1.1 -o "$sheet" 2>"$tmp/err"; then
  fail "a failing template gave a sheet"
fi
same "'x' is not a valid integer value" "$(cat "$tmp/err")" "template error"
same "$before" "$(cat "$sheet")" "the old sheet was changed by a failed generation"

# With --user the sheet becomes the user's last one, under its full path.
mkdir -p "$users/Marie"
(cd "$tmp" && "$cli" generate "$bib/Sample.IDX" --title 2.1.1 -o out/Words.QST --user marie) \
  >/dev/null
grep -q "^Nom 2=$tmp/out/Words.QST" "$users/Marie/LastuFile.ini" || fail "Nom 2 not recorded"

# A progress file of level 1, ordered by level key, and its state.
stp="$users/Marie/Qst/Sample/BL/Week.STP"
"$cli" progress create "$bib/Sample.IDX" --level 1 -o "$stp" >/dev/null
plan="$("$cli" sheet show "$stp")"
same "$bib/Sample.IDX¦Test book – Calcul & Wörter¦Arithmetic¦Ver.A 1.0;Test book;0102A000;UP.Y" \
  "$(head -n 1 <<<"$plan")" "progress header"
same "1.1.5 1.1.1 1.1.2 1.2.1" "$(tail -n +2 <<<"$plan" | sed 's/¦.*//' | tr '\n' ' ' | sed 's/ $//')" \
  "progress order"
state="$("$cli" sheet show "${stp%.STP}.SNI")"
grep -qx "StartPos=-1" <<<"$state" || fail "StartPos"
grep -qx "TotPosCount=4" <<<"$state" || fail "TotPosCount"
grep -qx "STPFileName=$stp" <<<"$state" || fail "STPFileName"

# The book gets a new version without "Fixed sums": the plan follows, the state too.
same "unchanged" "$("$cli" job check "$stp" 2>/dev/null)" "current plan"
sed -e 's/Ver.A 1.0/Ver.A 2.0/' -e '/^title 1.1.5/,/^$/d' "$source_file" >"$tmp/v2.book"
"$cli" book build "$tmp/v2.book" -o "$bib/Sample.IDX" >/dev/null
same "updated" "$("$cli" job check "$stp" 2>"$tmp/err")" "new version"
grep -q "New version detected !" "$tmp/err" || fail "no version box"
grep -q "Week.STP \[1/1\]" "$tmp/err" || fail "no progress step"
plan="$("$cli" sheet show "$stp")"
same "1.1.1 1.1.2 1.2.1" "$(tail -n +2 <<<"$plan" | sed 's/¦.*//' | tr '\n' ' ' | sed 's/ $//')" \
  "migrated plan"
grep -q "Ver.A 2.0" <<<"$(head -n 1 <<<"$plan")" || fail "header not updated"
grep -qx "TotPosCount=3" <<<"$("$cli" sheet show "${stp%.STP}.SNI")" || fail "state not updated"

# The job is written beside the sheet, so the sheet can be made again with fresh questions;
# for a user a bare name puts the sheet into the user's folder of the book.
"$cli" generate "$bib/Sample.IDX" --title 1.1.1:2 --user Paul -o Fresh --seed 3 >/dev/null
job="$users/Paul/Qst/Sample/Fresh.JOB"
[ -f "$users/Paul/Qst/Sample/Fresh.QST" ] || fail "bare name: no sheet in the book folder"
same "unchanged" "$("$cli" job check "$job")" "job beside the sheet"
tail -n +2 <<<"$("$cli" sheet show "$job")" | grep -q "^1.1.1¦.*¦2¦" || fail "job record"
"$cli" generate "$bib/Sample.IDX" --title 1.1.1 -o "$tmp/NoJob.QST" --no-job >/dev/null
[ ! -e "$tmp/NoJob.JOB" ] || fail "--no-job wrote a job"

# A file whose first line is empty is deleted.
printf '\r\nx\r\n' >"$users/Marie/Qst/Sample/Empty.JOB"
same "deleted" "$("$cli" job check "$users/Marie/Qst/Sample/Empty.JOB")" "empty job"
[ ! -e "$users/Marie/Qst/Sample/Empty.JOB" ] || fail "empty job kept"
echo "sheet commands: ok"
