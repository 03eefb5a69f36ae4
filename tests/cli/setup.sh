#!/usr/bin/env bash
# Scripted checks of "settings", "account" and "lookup" over a fresh data folder.
set -euo pipefail
cli="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/data"
export LC_ALL=C
unset QUILLOMARK_PROGRAM_FILES
factory="$(dirname "$cli")/../share/Tremsol/save/_Master.ini"
master="$XDG_DATA_HOME/Tremsol/SetG/Master.ini"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_rc() {  # expect_rc RC command...
  local want="$1"; shift
  local got=0
  "$@" >"$tmp/out" 2>"$tmp/err" || got=$?
  [ "$got" = "$want" ] || fail "'$*' exited $got, expected $want: $(cat "$tmp/out" "$tmp/err")"
}

# A fresh folder is seeded from the factory file and shown in the written layout.
"$cli" settings show >"$tmp/shown"
[ -f "$master" ] || fail "Master.ini not seeded"
diff <(tr -d '\r' <"$factory") "$tmp/shown" || fail "settings show differs from the factory file"

# Values are clamped on reading; reset writes the reset values again.
sed -i 's/^UpDo2_TauxUnites=.*/UpDo2_TauxUnites=5/' "$master"
"$cli" settings show | grep -qx 'UpDo2_TauxUnites=20' || fail "clamping"
"$cli" settings reset >/dev/null
"$cli" settings show | grep -qx 'UpDo2_TauxUnites=100' || fail "reset"

# Accounts.
expect_rc 1 "$cli" account create Marie <<<$'one\ntwo'
grep -q 'Wrong user name or password!' "$tmp/err" || fail "mismatch message: $(cat "$tmp/err")"
expect_rc 0 "$cli" account create MARIE <<<$'Secret\nsecret'
grep -q 'User created! Marie' "$tmp/err" || fail "created message: $(cat "$tmp/err")"
expect_rc 1 "$cli" account create marie <<<$'x\nx'
grep -q 'This user already exists!' "$tmp/err" || fail "exists message"
expect_rc 0 "$cli" account check marie <<<'SECRET'
expect_rc 1 "$cli" account check marie <<<'wrong'
expect_rc 1 "$cli" account check nobody <<<''
expect_rc 1 "$cli" account passwd tutor <<<$'a\na'
grep -q 'Not allowed!' "$tmp/err" || fail "tutor message"
expect_rc 0 "$cli" account passwd Marie <<<$'Neu\nneu'
expect_rc 0 "$cli" account check marie <<<'neu'

# The master password opens every account and the set-up window, for "tutor" only.
expect_rc 0 "$cli" account check x --setup <<<''
expect_rc 0 "$cli" account master <<<'Teacher'
expect_rc 0 "$cli" account check marie <<<'teacher'
expect_rc 0 "$cli" account check tutor --setup <<<'TEACHER'
expect_rc 1 "$cli" account check marie --setup <<<'teacher'

# No password is stored in clear.
if grep -rqi -e secret -e neu= -e teacher "$XDG_DATA_HOME"; then fail "password in clear"; fi

[ "$("$cli" account list)" = "Marie" ] || fail "account list"
expect_rc 0 "$cli" account delete marie
[ -z "$("$cli" account list)" ] || fail "account not deleted"

# Messages in the active language of the settings, or another one.
[ "$("$cli" lookup svL053)" = "Wrong user name or password!" ] || fail "lookup English"
[ "$("$cli" lookup svL004 --language deutsch)" = "Wirklich löschen?" ] || fail "lookup German"
expect_rc 1 "$cli" lookup svL004 --language Klingon

echo "cli setup: all checks passed"
