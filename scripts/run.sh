#!/usr/bin/env bash
# Sets the machine up, builds the program and starts the wizard.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# A wizard started without a display would run where nobody can see it.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "run: start it from a desktop session, or on a virtual screen: xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build" -DBUILD_TESTING=OFF
exec "$top/build/OlvanMigrationAssistant.app/Contents/MacOS/OlvanMigrationAssistant" "$@"
