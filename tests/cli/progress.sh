#!/usr/bin/env bash
# A whole progressive practice of the Arithmetic sample book walked through the command line:
# the plan is created, each sheet is generated with "progress continue", practised with
# "practice" (passed, failed, left unfinished and resumed) and evaluated, merged sheets come and
# go, and at the end of the plan the practice starts again. The progress state (.SNI) is checked
# after every sheet; the follow-up list shows the practice.
set -euo pipefail
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
bib="$(cd "$(dirname "$1")/../share/Tremsol/Bib" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/data"
export LC_ALL=C
unset QUILLOMARK_PROGRAM_FILES
pupil="$XDG_DATA_HOME/Tremsol/Users/pupil"
plan="$pupil/Qst/Arithmetic/BL/add.STP"
state="$pupil/Qst/Arithmetic/BL/add.SNI"
sheet="$pupil/Qst/Arithmetic/BL/add.QST"

fail() { echo "FAIL: $*" >&2; exit 1; }
run() {  # run INPUT command...: output in $tmp/out and $tmp/err, exit status 0 expected
  local input="$1"; shift
  printf '%s' "$input" | "$@" >"$tmp/out" 2>"$tmp/err" || fail "'$*' failed: $(cat "$tmp/out" "$tmp/err")"
}
has() { grep -qF -- "$1" "$tmp/out" || fail "output lacks '$1': $(cat "$tmp/out")"; }
pos() { sed -n "s/^$1=//p" "$state" | tr -d '\r'; }
expect_pos() {  # expect_pos WHAT KEY=VALUE...
  local what="$1"; shift
  for pair in "$@"; do
    [ "$(pos "${pair%%=*}")" = "${pair#*=}" ] || fail "$what: ${pair%%=*} is '$(pos "${pair%%=*}")', not '${pair#*=}'"
  done
}
# The answers of the current sheet, field by field.
answers() { "$cli" sheet show "$sheet" | sed -n '7,$p' | grep -o '{[^}]*}' | tr -d '{}'; }
# Continues the practice with a fixed seed and checks the code and the titles of the sheet.
next() {  # next TITLES-TEXT
  run '' "$cli" progress continue "$plan" --user pupil --seed 5
  has "code 21"
  has "sheet $sheet"
  has "$1"
}
right() { answers >"$tmp/in"; run "$(cat "$tmp/in")" "$cli" practice "$sheet" --user pupil; }

# Two titles a sheet, merged after two passed sheets, two questions a title, and a sheet must
# reach the pass mark (one fault allowed in four).
"$cli" settings reset "$pupil" Master.ini >/dev/null
sed -i -e 's/^UpDo_stpNbrTitre=.*/UpDo_stpNbrTitre=2/' -e 's/^UpDo_stpMergeAfter=.*/UpDo_stpMergeAfter=2/' \
  -e 's/^UpDo_stpNbrQstParTitre=.*/UpDo_stpNbrQstParTitre=2/' \
  -e 's/^Cb_AlwaysContinueEvByFail=.*/Cb_AlwaysContinueEvByFail=0/' "$pupil/Master.ini"

# The plan: the three titles of "Larger numbers".
run '' "$cli" progress create "$bib/Arithmetic.IDX" --level 1.3 -o "$plan"
has "(3 titles)"
expect_pos "created" StartPos=-1 TotPosCount=3 MargeMin=0 MargeAskAgain=0 FinishCount=0 \
  QsRFinishNextOK=1 DirUpDown=1 "STPFileName=$plan"

# 1. Titles 1-2, passed: one title up, one step towards the merge.
next "titles 1-2, 2 questions each, 4 questions"
"$cli" sheet show "$sheet" | sed -n 2p | grep -qF '#[0/0/2/-1;p;0;0]' || fail "status line of a progressive sheet"
right
has "Status: Finished (4)"
has "Progress: passed"
has "Statistics recorded."
has "Saved result: $pupil/add.QsR"
grep -qE '^#\[0/4/4/0;S;' "$pupil/add.QsR" || fail "an evaluated sheet is saved complete"
expect_pos "sheet 1" StartPos=1 MargeMin=1 MargeAskAgain=0 DirUpDown=1 QsRFinishNextOK=1

# 2. Titles 2-3, every answer wrong at the first attempt: failed, one title back.
next "titles 2-3"
answers | awk '{ printf "%d: 0\n%d: %s\n", NR, NR, $0 }' >"$tmp/in"
run "$(cat "$tmp/in")" "$cli" practice "$sheet" --user pupil
has "Tally: 0/4/4, first-try faults: 4"
has "Progress: failed"
expect_pos "sheet 2" StartPos=0 MargeMin=0 DirUpDown=0 QsRFinishNextOK=1

# 3. Titles 1-2, left after one answer: the sheet stays open, nothing moves.
next "titles 1-2"
run "1: $(answers | head -1)" "$cli" practice "$sheet" --user pupil
has "Progress: the sheet stays open"
has "Saved result: $pupil/add #02.QsR"
expect_pos "sheet 3 left open" StartPos=0 MargeMin=0 QsRFinishNextOK=0 "QsRLastFileName=add #02"

# Picking the practice again resumes the open sheet; finished, it is evaluated.
run '' "$cli" progress continue "$plan" --user pupil
has "code 22"
has "resume add #02 (kind p, faults -1)"
answers | awk 'NR > 1 { printf "%d: %s\n", NR, $0 }' >"$tmp/in"
run "$(cat "$tmp/in")" "$cli" practice --resume "add #02" --user pupil
has "Progress: passed"
has "Saved result: $pupil/add #02.QsR"
expect_pos "sheet 3 resumed" StartPos=1 MargeMin=1 QsRFinishNextOK=1 DirUpDown=1

# 4. Titles 2-3 passed: the merge is due.
next "titles 2-3"
right
expect_pos "sheet 4" StartPos=2 MargeMin=2

# 5. and 6. The merged sheet of all three titles (2 x 2 / 3 questions each, one more to reach
# four), passed twice; the position stays.
next "merged titles 1-3, 2 questions each, 6 questions"
grep -c '^#ChB\$' "$sheet" | grep -qx 3 || fail "three headings in the merged sheet"
right
has "Progress: passed (merged sheet)"
expect_pos "merged sheet 1" StartPos=2 MargeMin=2 MargeAskAgain=1 MargeMaxFault=0
next "merged titles 1-3"
right
expect_pos "merged sheet 2" StartPos=2 MargeMin=0 MargeAskAgain=2

# 7. and 8. Ordinary sheets again from the position reached; the last window of the plan.
next "titles 2-3"
right
expect_pos "sheet 7" StartPos=3 MargeMin=1 MargeAskAgain=0
next "titles 2-3"
right
expect_pos "sheet 8" StartPos=4 MargeMin=2

# 9. and 10. The closing merged sheets.
next "merged titles 1-3"
right
expect_pos "merged sheet 3" MargeAskAgain=1
next "merged titles 1-3"
right
expect_pos "merged sheet 4" StartPos=4 MargeMin=0 MargeAskAgain=2

# The end of the plan: cancelled, nothing changes; accepted, the practice starts again.
run '' "$cli" progress continue "$plan" --user pupil --cancel
has "code -1"
# "OK, reset and continue .." in the interface language (English, the system's under LC_ALL=C).
question="$(sed -n 's/^svL010=//p' "$bib/../SetG/English.lng" | tr -d '\r')"
grep -qF "[Progress] ${question:-OK, reset and continue ..}" "$tmp/err" || fail "no question: $(cat "$tmp/err")"
has "The practice is complete (finished 0 times)."
expect_pos "cancelled" StartPos=4 FinishCount=0 MargeAskAgain=2
run '' "$cli" progress continue "$plan" --user pupil
has "code -1"
has "The practice is complete and starts again (finished 1 times)."
expect_pos "restarted" StartPos=-1 FinishCount=1 MargeMin=0 MargeAskAgain=0 DirUpDown=1 \
  QsRFinishNextOK=1 QsRLastFileName=
next "titles 1-2"

# The follow-up list shows the practice, its results and its statistics.
run '' "$cli" followup --user pupil
has "[Progress]"
grep -qE "^add \| 0 \[~4\] \| [0-9]{2}/[0-9]{2}/[0-9]{2} [0-9:]{8} \| 1 \| icon 9 \| $plan\$" "$tmp/out" \
  || fail "progress row: $(cat "$tmp/out")"
has "Arithmetic | Larger numbers | 91,7 | 100"
grep -c '^add' "$tmp/out" | grep -qx 11 || fail "ten results and the practice: $(cat "$tmp/out")"

# A plan that is gone takes its state with it.
rm "$plan"
run '' "$cli" progress continue "$plan" --user pupil
has "code -1"
has "The plan is missing; its progress state was deleted."
[ ! -e "$state" ] || fail "state of a missing plan kept"

echo "progress: all checks passed"
