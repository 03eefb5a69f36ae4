#!/usr/bin/env bash
# Scripted practice in the terminal: a sheet answered from standard input in two correction
# modes, the result, revision and statistics files it leaves, resuming, and damaged results.
set -euo pipefail
cli="$1"
here="$(cd "$(dirname "$0")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/data"
export LC_ALL=C
unset QUILLOMARK_PROGRAM_FILES
users="$XDG_DATA_HOME/Tremsol/Users"
pupil="$users/pupil"
sep=$'\xa6'        # the field separator in the files (Windows-1252)
shown=$'\xc2\xa6'  # the same on the terminal (UTF-8)

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_rc() {  # expect_rc RC INPUT command...
  local want="$1" input="$2"; shift 2
  local got=0
  printf '%s' "$input" | "$@" >"$tmp/out" 2>"$tmp/err" || got=$?
  [ "$got" = "$want" ] || fail "'$*' exited $got, expected $want: $(cat "$tmp/out" "$tmp/err")"
}
line() { sed -n "$1p" "$2" | tr -d '\r'; }
has() { grep -qF -- "$1" "$tmp/out" || fail "output lacks '$1': $(cat "$tmp/out")"; }
lacks() { if grep -qF -- "$1" "$tmp/out"; then fail "output has '$1'"; fi; }

mkdir -p "$tmp/sheets"
cp "$here/../fixtures/practice/sums.QST" "$tmp/sheets/sums.QST"
sheet="$tmp/sheets/sums.QST"

# The user's own settings: revisions from the first answer on.
"$cli" settings reset "$pupil" Master.ini >/dev/null
sed -i 's/^UpDo1_RevFromNo=.*/UpDo1_RevFromNo=1/' "$pupil/Master.ini"

# Mode A: a wrong answer stays in its field and the next line corrects it; "N:" picks a field;
# refused characters are reported; the log shows the histories.
expect_rc 0 $'7\n16\n15\nparis\nParis\n5: 4\n4: 3/\nlog\n' "$cli" practice "$sheet" --user pupil
has "Correction mode: A"
has "10 + 5 = [2: 16 (wrong)]"
has "10 + 5 = [2: 15 (right)]"
has "[3: Paris (right)]"
has "Not typed: /"
has "[2: 16${shown}15]"
has "Status: Finished (5)"
has "Saved result: $pupil/sums.QsR"
has "Saved revision: $pupil/sums.QsV"
has "Statistics recorded."
has "Tally: 0/5/5, first-try faults: 2"
has "Points: 60 of 100, grade 3"
result="$pupil/sums.QsR"
[ "$(line 1 "$result")" = "Ver.A 1.0;Arithmetic;00000000;UP.Y" ] || fail "result header"
line 2 "$result" | grep -qE '^#\[0/5/5/2;S;[0-9]+;1\]$' || fail "result status: $(line 2 "$result")"
[ "$(line 3 "$result")" = "#[sums.QST${sep}Arithmetic${sep}Additions]" ] || fail "result line 3"
[ "$(line 4 "$result")" = "#[7;15;Paris;3;4]" ] || fail "expected answers"
[ "$(line 5 "$result")" = "#[7;16${sep}15;paris${sep}Paris;3;4]" ] || fail "histories: $(line 5 "$result")"
[ "$(line 6 "$result")" = "#[]" ] || fail "word bank"
diff <(sed -n '7,$p' "$result") <(sed -n '7,$p' "$sheet") || fail "question lines"
revision="$pupil/sums.QsV"
[ "$(line 2 "$revision")" = "#[1/0/2/-1;r;0;0]" ] || fail "revision status: $(line 2 "$revision")"
[ "$(line 4 "$revision")" = "#[15;Paris]" ] || fail "revision answers: $(line 4 "$revision")"
[ "$(sed -n '7,$p' "$revision" | tr -d '\r')" = "[1] Revision...
#ChB\$Add two numbers
10 + 5 = {15}#EndLig\$
#ChB\$Words
#FoPur_Capital:\$ The capital of France is {Paris}.#EndLig\$" ] || fail "revision questions: $(cat "$revision")"
grep -qE "^Arithmetic;Additions${sep}3;5;0;0${sep}60${sep}[0-9]{2}\.[0-9]{2}\.[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"$'\r'"?\$" \
  "$pupil/Statistic.f01" || fail "statistics: $(cat "$pupil/Statistic.f01")"

# Resuming gives back the answers and colours; a finished sheet is not counted again.
before="$(md5sum <"$pupil/Statistic.f01")"
expect_rc 0 $'show\n' "$cli" practice --resume sums --user pupil
has "Result: sums"
has "10 + 5 = [2: 15 (right)]"
has "Write [4: 3 (right)] and [5: 4 (right)]."
lacks "Statistics recorded."
[ "$(md5sum <"$pupil/Statistic.f01")" = "$before" ] || fail "statistics counted twice"
line 2 "$result" | grep -qE '^#\[0/5/5/2;S;[0-9]+;1\]$' || fail "resumed status: $(line 2 "$result")"

# The revision opens in place of a result that is gone (the follow-up window's rule).
mv "$result" "$tmp/kept.QsR"
expect_rc 0 $'15\nParis\n' "$cli" practice --resume sums --user pupil
has "[1: 15 (right)]"
has "Tally: 0/2/2, first-try faults: 0"
grep -q '^\[2\] Revision' "$pupil/sums.QsV" && fail "nothing to revise, yet a revision was written"
line 2 "$result" | grep -qE '^#\[0/2/2/0;R;' || fail "revision result: $(line 2 "$result")"
mv "$tmp/kept.QsR" "$result"

# Mode B, a second fresh run: its own name, no colours and no Check button until all is right.
sed -i -e 's/^Rb1_PerCor=.*/Rb1_PerCor=0/' -e 's/^Rb2_PerCor=.*/Rb2_PerCor=1/' "$pupil/Master.ini"
expect_rc 0 $'8\ncheck\nlog\n2: 15\n' "$cli" practice "$sheet" --user pupil
has "Correction mode: B"
has "3 + 4 = [1: 8]"
has "The Check button is not available in this correction mode."
has "The log is not available in this correction mode."
lacks "(wrong)"
has "Saved result: $pupil/sums #01.QsR"
has "Tally: 3/1/5, first-try faults: -1"
line 2 "$pupil/sums #01.QsR" | grep -qE '^#\[3/1/5/-1;s;' || fail "unfinished status"
expect_rc 0 $'1: 7\nParis\n3\n4\n' "$cli" practice --resume "sums #01" --user pupil
has "Status: Finished (5)"
has "[5: 4 (right)]"
has "Statistics recorded."
[ ! -e "$pupil/sums #02.QsR" ] || fail "a resumed result took a new name"

# Hints: the choices in brackets, else the word bank; blank lines are skipped.
printf 'Ver.A 1.0;Words;0000A000\r\n#[0/0/2/-1;s;0;0]\r\n#[w.QST\xa6Words\xa6Colours]\r\n#[]\r\n#[]\r\n#[P_r_s;r_d]\r\nCapital: {Paris}\r\nPick [red, green]: {red}\r\n' >"$tmp/sheets/w.QST"
expect_rc 0 $'hint 1\nhint 2\nhint 3\n\n\nParis\n' "$cli" practice "$tmp/sheets/w.QST" --user pupil
has "Hint: P_r_s"
has "Choices: red;green"
has "There is no field 3."
has "Capital: [1: Paris]"  # mode B: no colour yet
has "Tally: 1/1/2"

# Damaged and empty results are reported and never overwritten.
printf 'Ver.A 1.0;x\r\n#[0/0/1/-1;s;0;0]\r\n#[a\xa6b\xa6c]\r\n#[1;2]\r\n#[;]\r\n#[]\r\nq {1}\r\n' >"$pupil/bad.QsR"
cp "$pupil/bad.QsR" "$tmp/bad.copy"
expect_rc 1 '' "$cli" practice --resume bad --user pupil
grep -q 'Error: 983745-C Damaged file .. bad.QsR: line 4 holds 2 answers for 1 fields' "$tmp/err" \
  || fail "damaged message: $(cat "$tmp/err")"
cmp "$pupil/bad.QsR" "$tmp/bad.copy" || fail "damaged file changed"
: >"$pupil/empty.QsR"
expect_rc 1 '' "$cli" practice --resume empty --user pupil
grep -q 'Error: 983745-B Empty file \.\.' "$tmp/err" || fail "empty message: $(cat "$tmp/err")"
[ ! -e "$pupil/empty.QsR" ] || fail "empty result not deleted"
expect_rc 1 '' "$cli" practice --resume missing --user pupil
expect_rc 1 '' "$cli" practice "$sheet" --user ../escape
expect_rc 1 '' "$cli" practice "$sheet"
[ ! -e "$XDG_DATA_HOME/Tremsol/escape" ] || fail "user folder outside the users' folder"

# A sheet too short to hold questions is deleted with its job.
printf 'Ver.A 1.0;x\r\n#[0/0/0/-1;s;0;0]\r\n' >"$tmp/sheets/short.QST"
printf 'job\r\n' >"$tmp/sheets/short.JOB"
expect_rc 1 '' "$cli" practice "$tmp/sheets/short.QST" --user pupil
grep -q 'Error: 983745-A Empty file \.\.' "$tmp/err" || fail "short sheet message"
[ ! -e "$tmp/sheets/short.QST" ] && [ ! -e "$tmp/sheets/short.JOB" ] || fail "short sheet kept"

echo "practice: all checks passed"
