#!/usr/bin/env bash
# `make run`: starts the desktop editor on the example project. The editor works on a copy in the
# build folder (made once, then kept with the user's changes), so saving or compiling there never
# touches the files under examples/. Without a display (a server or a CI machine) it does the
# program's main job headless instead: compiles that copy with the CLI and says where.
set -euo pipefail
build=${1:-build}
example=${2:-examples/tavern.tlk}

work="$build/example"
name=$(basename "${example%.*}")
mkdir -p "$work"
for f in "$(dirname "$example")/$name".*; do
  [ -e "$work/$(basename "$f")" ] || cp "$f" "$work/"
done

if [ -x "$build/korvanthiel" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Opening $work/$name.tlk"
  exec "$build/korvanthiel" "$work/$name.tlk"
fi

"$build/korvanthiel-cli" compile "$work/$name.tlk"
echo "No display: compiled the example headless. The script is $work/$name.erm"
