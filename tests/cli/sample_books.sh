#!/usr/bin/env bash
# The sample books as the build installs them: every level and title is reached through the
# index walk, and the exercise lines each title points to make questions in its generation mode:
# templates expand without error under several seeds, are not always rejected and carry answer
# fields; one-line titles give as many different questions as they propose; vocabulary and
# sentence lines have the columns their modes need.
set -euo pipefail
cli="$1"
bib="$(cd "$(dirname "$cli")/../share/Tremsol/Bib" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/xdg"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
q() { "$cli" "$@" </dev/null; }
levels=0 titles=0 lines=0 expansions=0

# Expands a template with two seeds and checks the draws: not all rejected, an answer field in
# each question, no error marks, enough different questions. The draws stay in $drawn.
drawn=""
expand_checked() {  # template where distinct-needed
  local seed out verdict
  drawn=""
  for seed in 1 2; do
    if ! out=$(q expand "$1" -n 30 --seed "$seed" 2>"$tmp/err") || [ -s "$tmp/err" ]; then
      fail "$2: $(cat "$tmp/err") in: $1"
      return
    fi
    drawn+="$out"$'\n'
  done
  expansions=$((expansions + 60))
  verdict=$(printf '%s' "$drawn" | awk -v need="$3" '
    /^ *$/ { next }
    !/[{][^{}]*[^{} ][^{}]*[}]/ { print "a question without an answer field: " $0; bad = 1; exit }
    /^\*e|Er:|Error/ { print "an error in the question: " $0; bad = 1; exit }
    !seen[$0]++ { distinct++ }
    END {
      if (bad) exit
      if (distinct == 0) print "every draw was rejected"
      else if (distinct < need) print "only " distinct " different questions for " need
    }')
  [ -z "$verdict" ] || fail "$2: $verdict, in: $1"
}

# The exercise lines of a title, field 2 of each line, from a plain book.
exercise_lines() {  # plain-book start end
  head -c "$3" "$1" | tail -c "$(($3 - $2))" | tr -d '\r' |
    LC_ALL=C awk -F $'\xa6' '{ print $2 }' | iconv -f CP1252 -t UTF-8
}

check_title() {  # book plain-book record (fields joined by "|")
  local code title example quantity linecount location merge spcode rest
  IFS='|' read -r code title example quantity linecount location merge spcode rest <<<"$3"
  local where="$(basename "$1") $code \"${title%%;*}\"" start=${location%%-*} end=${location#*-}
  end=${end%%-*}
  titles=$((titles + 1))
  local templates count
  templates=$(exercise_lines "$2" "$start" "$end")
  count=$(printf '%s\n' "$templates" | wc -l)
  lines=$((lines + count))
  if [ "$quantity" -lt 1 ] || [ "$quantity" -gt "$linecount" ]; then
    fail "$where: quantity $quantity with $linecount lines"
  fi
  case "$spcode" in
    G1 | GD1) [ "$linecount" -le "$count" ] || [ "$linecount" -eq "$quantity" ] ||
      fail "$where: line count $linecount, $count lines" ;;
    *) [ "$linecount" -eq "$count" ] || fail "$where: line count $linecount, $count lines" ;;
  esac
  local tpl block bad
  case "$spcode" in
    VO1)
      bad=$(printf '%s\n' "$templates" |
        grep -Ev '^[^;{}]*;\{[^{};]+\};\{[^{};]+\};\{[^{};]+\}$' | head -1 || true)
      [ -z "$bad" ] || fail "$where: not a vocabulary line heading;{French};{German};{English}: $bad"
      return
      ;;
    STB)
      local column='[^;{}]*[^;{} ][^;{}]*'
      bad=$(printf '%s\n' "$templates" | grep -Ev "^[^;{}]*;$column;$column;$column\$" |
        head -1 || true)
      [ -z "$bad" ] || fail "$where: not a sentence line heading;French;German;English: $bad"
      # The sentences are spoken and name audio files.
      bad=$(printf '%s\n' "$templates" | grep '[/\\:?*"]' | head -1 || true)
      [ -z "$bad" ] || fail "$where: a sentence with / \\ : ? * or a double quote: $bad"
      return
      ;;
  esac
  while IFS= read -r tpl; do
    case "$spcode" in
      G1n) expand_checked "$tpl" "$where" 1 ;;
      G1) expand_checked "$tpl" "$where" "$quantity" ;;
      GD1)
        [[ "$tpl" == *'#DrawF_'*'$'* ]] || fail "$where: no drawing block in: $tpl"
        while IFS= read -r block; do
          [[ "$block" == '{'* ]] && block=$(printf '%s' "$block" | tr '{}' '<>')
          expand_checked "$block" "$where" "$quantity"
        done < <(printf '%s\n' "$tpl" | grep -o '#DrawF_[^$]*' | sed 's/^#DrawF_ *//')
        ;;
      LO1)
        local quoted=${tpl#\"} text
        quoted=${quoted%%\"*}
        text=${tpl#\"*\"}
        expand_checked "$quoted" "$where" 1
        local pairs words
        pairs=$(printf '%s' "$text" | grep -o '""' | wc -l)
        words=$(printf '%s' "$drawn" | grep -v '^ *$' | head -1 | wc -w)
        [ "$pairs" -ge 1 ] && [ "$pairs" -le "$words" ] ||
          fail "$where: $pairs places to fill with $words words: $tpl"
        ;;
      PQ1 | "") [[ "$tpl" == *'{'?*'}'* ]] || fail "$where: no answer field: $tpl" ;;
      LO2) [[ "$tpl" == '"'?*'"'*'""'* ]] || fail "$where: no choices or places to fill: $tpl" ;;
      *) fail "$where: unknown generation mode \"$spcode\"" ;;
    esac
  done <<<"$templates"
}

walk() {  # book plain-book level-code ("" for the top)
  local sub records code caption record
  if [ -z "$3" ]; then
    sub=$(q book levels "$1")
  else
    sub=$(q book levels "$1" "$3" 2>/dev/null)
  fi
  if [ -n "$sub" ]; then
    while IFS=$'\t' read -r code caption; do
      levels=$((levels + 1))
      walk "$1" "$2" "$code"
    done <<<"$sub"
    return
  fi
  records=$(q book titles "$1" "$3" --records | sed 's/¦/|/g')
  [ -n "$records" ] || { fail "$(basename "$1"): level $3 has neither sub-levels nor titles"; return; }
  while IFS= read -r record; do
    check_title "$1" "$2" "$record"
  done <<<"$records"
}

scrambled=0
for name in Arithmetic Fractions Vocabulary Sentences; do
  book="$bib/$name.IDX"
  [ -f "$book" ] || { fail "the build installed no $name.IDX"; continue; }
  plain="$book"
  if q book info "$book" | grep -q '^scrambled: yes'; then
    # Exercise lines are read from a plain copy: scrambling keeps every line length and offset.
    scrambled=$((scrambled + 1))
    q book dump "$book" | sed -e 's/^scramble: yes$/scramble: no/' -e 's/^header: Ver\.C/header: Ver.A/' \
      >"$tmp/$name.book"
    plain="$tmp/$name.IDX"
    q book build "$tmp/$name.book" -o "$plain" >/dev/null
    [ "$(wc -c <"$plain")" -eq "$(wc -c <"$book")" ] || fail "$name: the plain copy differs in size"
  fi
  walk "$book" "$plain" ""
done
[ "$scrambled" -ge 1 ] || fail "no sample book is scrambled"
[ "$titles" -gt 0 ] || fail "no titles were found"

if [ "$failures" -gt 0 ]; then
  echo "$failures problems in the sample books" >&2
  exit 1
fi
echo "sample books: $levels levels, $titles titles, $lines exercise lines, $expansions draws: ok"
