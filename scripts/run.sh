#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer with the sample patterns open
# (arguments, when given, are opened instead).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
viewer="$root/build/OstrelViewer"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  cat >&2 <<MSG
The viewer is built but there is no display to show it on (DISPLAY and WAYLAND_DISPLAY
are not set). Start it from a desktop session:
  $viewer
or in a virtual display (apt-get install xvfb xauth):
  xvfb-run -a $viewer
What it would make of the sample files, meanwhile:
MSG
  "$root/build/ostrel-inspect" "$root"/samples/*.{txt,pln,msi,vwa} >&2 || true
  exit 1
fi
if [[ $# -gt 0 ]]; then
  exec "$viewer" "$@"
fi
exec "$viewer" "$root"/samples/*.*
