#!/usr/bin/env bash
# The Windows CLI (under Wine) must write byte for byte what the Linux one writes: every project
# and INI file of the examples and tests converted, each script compiled into, the dialog graph,
# and a project recovered from a compiled script. The work happens in a folder with a Cyrillic
# name, so that paths pass through the program as UTF-8 and reach Windows as UTF-16.
# Usage: scripts/compare-windows-cli.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
linux_cli="$(cd "$1" && pwd)/korvanthiel-cli"
windows_cli="$(cd "$2" && pwd)/korvanthiel-cli.exe"
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$(cd "$2" && pwd)/wine} WINEDEBUG=-all
export SOURCE_DATE_EPOCH=1700000000 TZ=UTC

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
inputs=("$root"/examples/*.tlk "$root"/examples/*.ini "$root"/tests/data/*.tlk
        "$root"/tests/data/*/*.tlk "$root"/tests/data/erm/*.ini "$root"/tests/data/ini/*.ini)

# Runs one CLI in its own copy of the inputs: $1 the program (and its runner), in "$work/$2".
run_all() {
  local side=$2 dir="$work/$2/Сказка"
  mkdir -p "$dir"
  cp "$root"/examples/tavern.* "$root"/tests/data/erm/*.erm "$dir/"
  for input in "${inputs[@]}"; do
    local name
    name=$(basename "$input")
    $1 convert "$input" "$dir/$name.converted.tlk" >/dev/null
  done
  (cd "$dir" && $1 compile tavern.tlk && $1 compile "$dir/tavern.ini" --script tavern.erm) >/dev/null
  $1 compile "$root/tests/data/erm/smith.ini" --script "$dir/smith.erm" >/dev/null
  $1 graph "$dir/tavern.tlk" -o "$dir/tavern.dot"
  $1 recover "$dir/tavern.erm" "$dir/recovered.tlk" >/dev/null
  # The recovered project keeps the script's absolute path, which each system spells its own way.
  LC_ALL=C sed -i '2s/.*/SCRIPT PATH/' "$dir/recovered.tlk"
  echo "$side: $(ls "$dir" | wc -l) files"
}

run_all "$linux_cli" linux
run_all "wine $windows_cli" windows

if ! diff -r "$work/linux" "$work/windows"; then
  echo "The Windows CLI writes other bytes than the Linux one" >&2
  exit 1
fi
echo "The Windows CLI writes the same bytes as the Linux one"
