#!/usr/bin/env bash
# `make windows`, after the cross build: the core tests under Wine, then the Windows CLI against
# the Linux one. The Wine prefix lives in the build folder, so that CI needs no home of its own
# and `make clean` takes it along; the first run creates it (about half a minute). Console
# programs need no display.
# Usage: scripts/windows-tests.sh WINDOWS_BUILD LINUX_BUILD [JOBS]
set -euo pipefail
windows_build=$(cd "$1" && pwd)
linux_build=$2
jobs=${3:-2}

export WINEPREFIX="$windows_build/wine" WINEDEBUG=-all
# No offer to install Mono or Gecko into a new prefix: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  wine wineboot --init >/dev/null 2>&1 || true
  wineserver --wait
fi
ctest --test-dir "$windows_build" --output-on-failure -j "$jobs"
bash "$(dirname "$0")/compare-windows-cli.sh" "$linux_build" "$windows_build"
