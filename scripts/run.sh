#!/usr/bin/env bash
# `make run`: starts the desktop editor on the example project. Without a display (a server or a
# CI machine) it does the program's main job headless instead: compiles the example with the CLI
# into a copy of its script and says where.
set -euo pipefail
build=${1:-build}
example=${2:-examples/tavern.tlk}

if [ -x "$build/korvanthiel" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/korvanthiel" "$example"
fi

out=$(mktemp -d)
script_name=$(basename "${example%.*}").erm
cp "$(dirname "$example")/$script_name" "$out/$script_name"
"$build/korvanthiel-cli" compile "$example" --script "$out/$script_name"
echo "No display: compiled the example headless. The script is $out/$script_name"
