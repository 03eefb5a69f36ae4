#!/usr/bin/env bash
# The book commands: build the sample book, walk it as the Configurator lists it, print it back
# and build that again, plain and scrambled; a faulty source names its line.
set -euo pipefail
cli="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source_file="$here/../fixtures/books/sample.book"
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
tab=$'\t'

"$cli" book build "$source_file" -o "$tmp/Bib/Sample.IDX" --edx >/dev/null
[ -f "$tmp/Bib/Sample.IDX" ] && [ -f "$tmp/Bib/Sample.EDX" ] || fail "build wrote no book"

for book in Sample Scrambled; do
  if [ "$book" = Scrambled ]; then
    "$cli" book build "$source_file" -o "$tmp/Bib/Scrambled.IDX" --scramble >/dev/null
    cmp -s "$tmp/Bib/Sample.IDX" "$tmp/Bib/Scrambled.IDX" && fail "the scrambled book is plain"
  fi
  idx="$tmp/Bib/$book.IDX"
  same "1${tab}Arithmetic
2${tab}Words
3${tab}--------" "$("$cli" book levels "$idx")" "$book: top levels"
  same "2.1${tab}Vocabulary
2.2${tab}Word problems" "$("$cli" book levels "$idx" 2)" "$book: levels of 2"
  titles="1.1.1${tab}Add two numbers${tab}3 + 4 = 7${tab}2
1.1.2${tab}Many sums from one template${tab}12 + 5 = 17${tab}4
1.1.5${tab}Fixed sums${tab}Write the result${tab}2"
  same "$titles" "$("$cli" book titles "$idx" 1.1)" "$book: titles of 1.1"
  same "$titles" "$("$cli" book titles "$idx" 1.1 --no-edx)" "$book: titles of 1.1 without .EDX"

  "$cli" book dump "$idx" -o "$tmp/$book.book"
  "$cli" book build "$tmp/$book.book" -o "$tmp/Again.IDX" >/dev/null
  cmp "$idx" "$tmp/Again.IDX" || fail "$book: dump and build again changed the book"
done

# The titles of a level holding sub-levels are its level-wide pick; a missing level is an error.
[ "$("$cli" book titles "$tmp/Bib/Sample.IDX" 2 | wc -l)" -eq 5 ] || fail "level-wide pick of 2"
if "$cli" book levels "$tmp/Bib/Sample.IDX" 9 2>/dev/null; then fail "level 9 was found"; fi
"$cli" book list "$tmp/Bib" | grep -q "Sample.IDX" || fail "book list"

# Building again without --edx removes the companion index of the earlier build.
"$cli" book build "$source_file" -o "$tmp/Bib/Sample.IDX" >/dev/null
[ ! -e "$tmp/Bib/Sample.EDX" ] || fail "a stale .EDX was left"

printf 'book: B\nheader: Ver.A\nlevel 1: L\ncolour: red\n' >"$tmp/bad.book"
if "$cli" book build "$tmp/bad.book" 2>"$tmp/err"; then fail "a faulty source was built"; fi
same "$tmp/bad.book:4: unknown field \"colour\"" "$(cat "$tmp/err")" "error of a faulty source"
[ ! -e "$tmp/bad.IDX" ] || fail "a faulty source left a book"
echo "book commands: ok"
