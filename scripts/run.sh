#!/usr/bin/env bash
# Sets the machine up, builds the program and starts the wizard.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build" -DBUILD_TESTING=OFF
program="$top/build/OlvanMigrationAssistant.app/Contents/MacOS/OlvanMigrationAssistant"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display; starting the wizard on a virtual one (xvfb-run)"
  exec xvfb-run -a "$program" "$@"
fi
exec "$program" "$@"
