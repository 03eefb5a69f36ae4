#!/usr/bin/env bash
# quillomark-cli folders: prints every data folder and creates exactly the start-up folders;
# a second instance started while the first holds the lock ends silently.
set -euo pipefail
cli="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export XDG_DATA_HOME="$tmp/data" QUILLOMARK_PROGRAM_FILES="$tmp/program" XDG_RUNTIME_DIR="$tmp"

out=$("$cli" folders)
echo "$out" | grep -qx "UsersDir=$tmp/data/Tremsol/Users/"
echo "$out" | grep -qx "BooksDir=$tmp/program/Tremsol/Bib/"
[ "$(echo "$out" | wc -l)" -eq 12 ]
if echo "$out" | grep -v '/$'; then echo "a path without trailing slash"; exit 1; fi
found=$(cd "$tmp/data" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$found" = "./Tremsol ./Tremsol/Log ./Tremsol/Log/ScreenLog ./Tremsol/SetG ./Tremsol/ShQst ./Tremsol/Users " ] || { echo "created: $found"; exit 1; }

# Hold the lock in a first process, then start a second one.
mkfifo "$tmp/hold"
"$cli" folders --hold < "$tmp/hold" > /dev/null &
holder=$!
exec 3> "$tmp/hold"
sleep 0.5
second=$("$cli" folders 2>&1)
status=$?
exec 3>&-
wait $holder
[ $status -eq 0 ] && [ -z "$second" ] || { echo "second instance printed: $second"; exit 1; }
echo ok
