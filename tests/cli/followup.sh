#!/usr/bin/env bash
# The follow-up lists on the command line: result rows in two correction modes, a damaged result
# deleted, an old finished result deleted with its revision taking its place, progress rows and
# statistics rows.
set -euo pipefail
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/data"
export LC_ALL=C
unset QUILLOMARK_PROGRAM_FILES
pupil="$XDG_DATA_HOME/Tremsol/Users/pupil"

fail() { echo "FAIL: $*" >&2; exit 1; }
run() {
  "$@" >"$tmp/out" 2>"$tmp/err" || fail "'$*' failed: $(cat "$tmp/out" "$tmp/err")"
}
has() { grep -qxF -- "$1" "$tmp/out" || fail "output lacks the line '$1': $(cat "$tmp/out")"; }
result() {  # result NAME LINE2 [EXTENSION]
  printf 'Ver.A 1.0;Arithmetic;00000000;UP.Y\r\n%s\r\n#[/s/sums.QST\xa6Arithmetic\xa6Additions]\r\n#[1;2;3;4;5;6;7]\r\n#[;;;;;;]\r\n#[]\r\n1 + 0 = {1}\r\n1 + 1 = {2}\r\n1 + 2 = {3}\r\n' \
    "$2" >"$pupil/$1${3:-.QsR}"
}

# Finished practices are deleted after one day, the others are kept.
"$cli" settings reset "$pupil" Master.ini >/dev/null
sed -i -e 's/^CB_DelFinishAfter=.*/CB_DelFinishAfter=1/' -e 's/^Upd_DelFinishAfter=.*/Upd_DelFinishAfter=1/' \
  -e 's/^CB_DelNotFinishAfter=.*/CB_DelNotFinishAfter=0/' -e 's/^CB_DelCreated=.*/CB_DelCreated=0/' \
  "$pupil/Master.ini"

result finished '#[0/7/7/0;S;95;1]'
result faults '#[0/7/7/2;S;120;1]'
result still '#[3/2/7/-1;s;40;1]'
result improve '#[0/5/7/2;s;3725;2]'
result old '#[0/7/7/1;S;30;1]'
result old '#[1/0/2/-1;r;0;0]' .QsV
touch -d '2 days ago' "$pupil/old.QsR" "$pupil/old.QsV"
touch -d '3 hours ago' "$pupil/finished.QsR" "$pupil/faults.QsR" "$pupil/still.QsR"
head -c 50 "$pupil/finished.QsR" >"$pupil/small.QsR"
touch -d '3 hours ago' "$pupil/small.QsR"
printf 'Arithmetic;Additions\xa63;5;0;0\xa660\xa607.03.24 14:05:09\r\nArithmetic;Tables\xa62;3;5;8\xa650,100\xa601.02.24 08:09:10,02.02.24 18:19:20\r\n' \
  >"$pupil/Statistic.f01"
mkdir -p "$pupil/Qst/Arithmetic/BL"
printf '[Pos]\r\nSTPFileName=%s\r\nStartPos=2\r\nTotPosCount=5\r\nFinishCount=3\r\nDirUpDown=0\r\nLastDate=07/03/24 14:05:09\r\n' \
  "$pupil/Qst/Arithmetic/BL/add.STP" >"$pupil/Qst/Arithmetic/BL/add.SNI"
printf '[Pos]\r\nSTPFileName=\r\n' >"$pupil/Qst/Arithmetic/BL/none.SNI"

# Mode A (the default), a scale of 100.
run "$cli" followup --user pupil
has "[Inspect]"
has "faults | Finished (2) | Points 71 [7] | 00:02:00 | 1 | green, picture 3"
has "finished | Finished | Points 100 [7] | 00:01:35 | 1 | green, picture 0"
# (The English texts say "Faults".)
has "improve | Improve ( 2 Faults ) | Points 71 [7] | 01:02:05 | 2 | red, picture 6, newest"
has "old | Revise | Points ? [2] | 00:00:00 | 0 | black, picture 5"
has "still | Still 3 Question(s) | Points ? [7] | 00:00:40 | 1 | purple, picture 5"
has "[Progress]"
has "add | 35,3 [~3] | 07/03/24 14:05:09 | 3 | icon 8 | $pupil/Qst/Arithmetic/BL/add.STP"
has "[Statistik]"
has "Arithmetic | Additions | 60 | 100"
has "Arithmetic | Tables | 66,7 | 62,5"
[ "$(grep -c . "$tmp/out")" = 11 ] || fail "rows: $(cat "$tmp/out")"
grep -qF "Deleted small.QsR (damaged: File Size Corrupt...)" "$tmp/err" || fail "damaged: $(cat "$tmp/err")"
grep -qF "[Info] " "$tmp/err" || fail "no box for the damaged result: $(cat "$tmp/err")"
grep -qF "Deleted old.QsR (finished, its revision took its place)" "$tmp/err" || fail "old: $(cat "$tmp/err")"
[ ! -e "$pupil/small.QsR" ] && [ ! -e "$pupil/old.QsV" ] && [ -e "$pupil/old.QsR" ] || fail "files"

# Mode B: a sheet with faults left in counts as finished.
sed -i -e 's/^Rb1_PerCor=.*/Rb1_PerCor=0/' -e 's/^Rb2_PerCor=.*/Rb2_PerCor=1/' "$pupil/Master.ini"
run "$cli" followup --user pupil
has "improve | Finished (2) | Points 71 [7] | 01:02:05 | 2 | green, picture 3, newest"

if "$cli" followup --user ../x >/dev/null 2>&1; then fail "a user name that leaves the users' folder"; fi
if "$cli" followup >/dev/null 2>&1; then fail "no user"; fi

echo "followup: all checks passed"
