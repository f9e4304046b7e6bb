#!/usr/bin/env bash
# Sets up, builds and starts Tollvane.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" build-run -DTOLLVANE_TESTS=OFF

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "tollvane: no display to open its window on (neither DISPLAY nor WAYLAND_DISPLAY is set); run it under xvfb-run, see README.md" >&2
    exit 1
fi
exec "$root/build-run/src/tollvane"
