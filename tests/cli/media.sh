#!/usr/bin/env bash
# The media commands: a folder tree built into a library (plain and scrambled) gives every file
# back unchanged; references that leave the media folder are refused; the audio script speaks a
# small sentence book into libraries whose entries are playable MP3 files; a sentence of each
# installed sentence library is a playable MP3.
set -euo pipefail
cli="$1"
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/xdg"

fail() { echo "FAIL: $*" >&2; exit 1; }
same() {  # expected actual what
  if [ "$1" != "$2" ]; then
    diff <(printf '%s\n' "$1") <(printf '%s\n' "$2") >&2 || true
    fail "$3"
  fi
}
refused() {  # expected-message what command...
  local expected="$1" what="$2"
  shift 2
  if "$@" 2>"$tmp/err" >/dev/null; then fail "$what was accepted"; fi
  grep -qF "$expected" "$tmp/err" || { cat "$tmp/err" >&2; fail "$what: no \"$expected\""; }
}
# The file starts with an MPEG layer III frame (sync bits, layer bits 01) and lame decodes it.
playable() {  # file what
  local head
  head="$(od -A n -t x1 -N 2 "$1" | tr -d ' \n')"
  [[ "$head" =~ ^ff(e[23]|f[23ab])$ ]] || fail "$2: no MPEG layer III header ($head)"
  lame --quiet --decode "$1" "$tmp/decoded.wav" || fail "$2: lame cannot decode it"
  [ "$(head -c 4 "$tmp/decoded.wav")" = RIFF ] || fail "$2: decoded to no wave"
  [ "$(stat -c %s "$tmp/decoded.wav")" -gt 8000 ] || fail "$2: decoded to almost nothing"
}

# --- A library from a folder tree, and back ------------------------------------------------------
mkdir -p "$tmp/src/Pics/Été" "$tmp/src/Sounds"
printf 'Bonjour\r\n' >"$tmp/src/hello.txt"
head -c 3000 /dev/urandom >"$tmp/src/Pics/Été/photo.jpg"
head -c 70000 /dev/urandom >"$tmp/src/Sounds/long.mp3"
printf 'hidden' >"$tmp/src/.hidden"
for mode in plain scrambled; do
  flag=()
  [ "$mode" = scrambled ] && flag=(--scramble)
  "$cli" media build "$tmp/src" -o "$tmp/IBL/Lib.IBL" "${flag[@]}" >"$tmp/out"
  grep -q "3 entries in 3 folders" "$tmp/out" || fail "$mode: build said $(cat "$tmp/out")"
  same "hello.txt
Pics\\Été\\photo.jpg
Sounds\\long.mp3" "$("$cli" media list Lib --dir "$tmp/IBL" | cut -f1)" "$mode: entries"
  for entry in hello.txt 'Pics\Été\photo.jpg' 'Sounds\long.mp3'; do
    "$cli" media get "Lib;$entry" -o "$tmp/got" --dir "$tmp/IBL"
    cmp -s "$tmp/got" "$tmp/src/${entry//\\//}" || fail "$mode: $entry changed"
  done
  # Sounds are stored transformed in every library, so the data file differs from the sound.
  if cmp -s <(tail -c 70000 "$tmp/IBL/Lib.IBL") "$tmp/src/Sounds/long.mp3"; then
    fail "$mode: the sound is stored as it is"
  fi
done

refused "Error: Wrong IBL" "a missing entry" "$cli" media get "Lib;none.txt" -o "$tmp/x" --dir "$tmp/IBL"
for reference in "../IBL/Lib;hello.txt" "$tmp/IBL/Lib;hello.txt" "IBL/Lib;hello.txt" ";hello.txt"; do
  refused "er934: Module IBL not installed !" "$reference" \
    "$cli" media get "$reference" -o "$tmp/x" --dir "$tmp/src"
done
[ ! -e "$tmp/x" ] || fail "a refused reference wrote a file"
refused "Usage" "get without -o" "$cli" media get "Lib;hello.txt"

# --- The audio of a small sentence book ----------------------------------------------------------
book="$root/tests/fixtures/media/sentences.book"
"$cli" media sentences "$book" >"$tmp/sentences.tsv"
same 'Frausena01;AudioPhB\FR\L\LE\Le chat dort-vite.mp3
Deausena01;AudioPhB\DE\D\DI\Die Katze schläft.mp3
Enausena01;AudioPhB\EN\T\TH\The cat sleeps.mp3
Frausena01;AudioPhB\FR\M\MA\Ma soeur arrive-t-elle.mp3
Deausena01;AudioPhB\DE\Ü\ÜB\Über die Straße.mp3
Enausena01;AudioPhB\EN\I\IT\It'"'"'s a test.mp3
Frausena01;AudioPhB\FR\L\LÉ\L'"'"'été est là.mp3
Deausena01;AudioPhB\DE\I\IM\Im Sommer.mp3' "$(cut -f1 "$tmp/sentences.tsv")" "sentence references"
"$root/data/media/make-sentence-audio" "$cli" "$book" "$tmp/audio" >/dev/null
while IFS=$'\t' read -r reference text; do
  "$cli" media get "$reference" -o "$tmp/sentence.mp3" --dir "$tmp/audio"
  playable "$tmp/sentence.mp3" "$reference"
done <"$tmp/sentences.tsv"
[ "$("$cli" media list Enausena01 --dir "$tmp/audio" | wc -l)" -eq 2 ] || fail "English entries"

# --- The installed sentence libraries ------------------------------------------------------------
installed="$(dirname "$cli")/../share/Tremsol/IBL"
sample="$root/data/books/sentences.book"
if [ -f "$sample" ]; then
  "$cli" media sentences "$sample" >"$tmp/sample.tsv"
  [ "$(wc -l <"$tmp/sample.tsv")" -gt 3 ] || fail "the sample book has no sentences"
  for library in Frausena01 Deausena01 Enausena01; do
    first="$(grep -m1 "^$library;" "$tmp/sample.tsv" | cut -f1)"
    "$cli" media get "$first" -o "$tmp/sample.mp3" --dir "$installed"
    playable "$tmp/sample.mp3" "$first"
  done
  # That every sentence finds its audio is checked by the core tests (InstalledSentenceAudio).
fi
echo "media commands: ok"
