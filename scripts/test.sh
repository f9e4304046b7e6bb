#!/usr/bin/env bash
# Sets up, builds (warnings are errors) and runs the whole test suite, then
# runs it again built with AddressSanitizer and UndefinedBehaviorSanitizer.
# Usage: scripts/test.sh [--plain-only]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"

"$root/scripts/setup.sh" build -DTOLLVANE_WERROR=ON -DTOLLVANE_TESTS=ON
(cd "$root/build" && ctest --output-on-failure -j "$jobs")

if [[ "${1:-}" != "--plain-only" ]]; then
    "$root/scripts/setup.sh" build-sanitize -DTOLLVANE_WERROR=ON -DTOLLVANE_TESTS=ON \
        -DTOLLVANE_SANITIZE=ON
    (cd "$root/build-sanitize" && ctest --output-on-failure -j "$jobs")
fi
